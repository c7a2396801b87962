#pragma once
// The profile file: a 31-byte header naming the firmware generation whose
// block layouts follow, then one record per settings block (id, length, the
// block's bytes). Everything here is bytes and names; running the block
// encoders and decoders on the editor is the Qt layer's part.
#include "common/FirmwareTable.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace plendoro {

constexpr std::size_t kProfileHeaderSize = 31;
// BlockId and BlockLength in front of each record's bytes.
constexpr std::size_t kProfileRecordHeaderSize = 8;

enum class ProfileVersion { V10, V30, V35, V43 };

// The header text, exactly 31 bytes.
std::string_view ProfileHeader(ProfileVersion version);
// The version whose header the first 31 bytes are; none for anything else,
// a file shorter than the header included.
std::optional<ProfileVersion> ParseProfileHeader(std::span<const std::uint8_t> file);

// The version a save writes for the firmware the editor works with.
ProfileVersion ProfileVersionFor(int firmwareVersion);
// The generation of the block layouts a version holds (block 1 differs).
FirmwareGeneration LayoutOf(ProfileVersion version);
// The oldest firmware that can take a profile of this version.
int MinimumFirmwareOf(ProfileVersion version);

struct ProfileRecordLayout {
    std::uint32_t blockId;
    std::uint32_t length;
};
// The records a version holds, in file order.
std::vector<ProfileRecordLayout> ProfileRecords(ProfileVersion version);
// Header and records: 272, 497, 981 or 987 bytes.
std::size_t ProfileFileSize(ProfileVersion version);

// The largest file a load looks at: anything after the last record of the
// biggest version is ignored anyway, so nothing beyond it is read.
constexpr std::size_t kProfileReadLimit = 987;
// Reads at most kProfileReadLimit bytes; false when the file cannot be
// opened or read (a folder in its place included).
bool ReadProfileBytes(const std::string& path, std::vector<std::uint8_t>& bytes);

// Appends one record: BlockId and BlockLength little-endian, then the bytes.
void AppendProfileRecord(std::string& out, std::uint32_t blockId, std::span<const std::uint8_t> bytes);

// Walks the records after the header. Each call checks the next record
// against what the version expects there; nothing is read past the end of
// the bytes, whatever a record's length field claims.
class ProfileRecordReader {
public:
    explicit ProfileRecordReader(std::span<const std::uint8_t> file);
    // The record's bytes when its id and length are the expected ones and
    // all its bytes are present; none otherwise, and the reader stays put.
    std::optional<std::span<const std::uint8_t>> Next(const ProfileRecordLayout& expected);

private:
    std::span<const std::uint8_t> file_;
    std::size_t pos_;
};

// What a load does with a file, by its header and the editor's firmware.
enum class ProfileLoadVerdict {
    Load,           // same generation as the editor's firmware
    LoadAndWarn,    // older layouts: load, then point the user at the settings
    RefuseNewer,    // made for newer firmware than the editor works with
    UnknownVersion, // not a profile header
};
ProfileLoadVerdict VerdictFor(std::optional<ProfileVersion> version, int firmwareVersion);

struct LocalDateTime {
    int year = 2000;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// "WF_%05d_%s.kvp" with the serial number and the time as "YYMMDD_HHNNSS".
std::string AutomaticProfileName(std::int32_t serialNumber, const LocalDateTime& time);
// kvdFolder ends in one "/" (or is empty); the profiles live below it.
std::string ProfileFolderOf(const std::string& kvdFolder);

// The newest firmware a profile's layout is made for: every field the
// profile can carry is open there.
int NewestFirmwareOf(ProfileVersion version);

// One automatic profile of a tracker, found by its name.
struct SavedProfile {
    std::string path;
    LocalDateTime time; // from the name; the year as 2000 + its two digits
};
// The automatic profiles of one serial number in a profile folder, newest
// first; files named otherwise are left out.
std::vector<SavedProfile> AutomaticProfilesOf(const std::string& profileFolder, std::int32_t serialNumber);

} // namespace plendoro
