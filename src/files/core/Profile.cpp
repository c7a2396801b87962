#include "files/core/Profile.h"

#include "model/Structs.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <tuple>

namespace plendoro {

namespace {

constexpr std::array<std::string_view, 4> kHeaders = {
    "Kovaltrak Plendoro Profile V1.0",
    "Kovaltrak Plendoro Profile V3.0",
    "Kovaltrak Plendoro Profile V3.5",
    "Kovaltrak Plendoro Profile V4.3",
};
static_assert(kProfileReadLimit == kProfileHeaderSize + 6 * kProfileRecordHeaderSize + kMainConfSize + kNetConfSize3 +
                                       kInputsConfSize + kRs485ConfSize + kCanConfSize + kOneWireConfSize);
static_assert(kHeaders[0].size() == kProfileHeaderSize && kHeaders[1].size() == kProfileHeaderSize &&
              kHeaders[2].size() == kProfileHeaderSize && kHeaders[3].size() == kProfileHeaderSize);

constexpr ProfileVersion kVersions[] = {ProfileVersion::V10, ProfileVersion::V30, ProfileVersion::V35,
                                        ProfileVersion::V43};

std::uint32_t ReadU32(const std::uint8_t* p)
{
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

void AppendU32(std::string& out, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

} // namespace

std::string_view ProfileHeader(ProfileVersion version)
{
    return kHeaders[static_cast<std::size_t>(version)];
}

std::optional<ProfileVersion> ParseProfileHeader(std::span<const std::uint8_t> file)
{
    if (file.size() < kProfileHeaderSize)
        return std::nullopt;
    for (ProfileVersion v : kVersions)
        if (std::memcmp(file.data(), ProfileHeader(v).data(), kProfileHeaderSize) == 0)
            return v;
    return std::nullopt;
}

ProfileVersion ProfileVersionFor(int firmwareVersion)
{
    if (firmwareVersion < 300)
        return ProfileVersion::V10;
    if (firmwareVersion < 305)
        return ProfileVersion::V30;
    if (firmwareVersion < 403)
        return ProfileVersion::V35;
    return ProfileVersion::V43;
}

FirmwareGeneration LayoutOf(ProfileVersion version)
{
    switch (version) {
    case ProfileVersion::V10: return FirmwareGeneration::First;
    case ProfileVersion::V30:
    case ProfileVersion::V35: return FirmwareGeneration::Second;
    case ProfileVersion::V43: return FirmwareGeneration::Third;
    }
    return FirmwareGeneration::Third;
}

int MinimumFirmwareOf(ProfileVersion version)
{
    switch (version) {
    case ProfileVersion::V10: return 0;
    case ProfileVersion::V30: return 300;
    case ProfileVersion::V35: return 305;
    case ProfileVersion::V43: return 403;
    }
    return 403;
}

std::vector<ProfileRecordLayout> ProfileRecords(ProfileVersion version)
{
    const auto net = static_cast<std::uint32_t>(NetConfSizeOf(LayoutOf(version)));
    std::vector<ProfileRecordLayout> records = {
        {0, static_cast<std::uint32_t>(kMainConfSize)},
        {1, net},
        {2, static_cast<std::uint32_t>(kInputsConfSize)},
        {3, static_cast<std::uint32_t>(kRs485ConfSize)},
    };
    if (version != ProfileVersion::V10)
        records.push_back({5, static_cast<std::uint32_t>(kCanConfSize)});
    if (version == ProfileVersion::V35 || version == ProfileVersion::V43)
        records.push_back({6, static_cast<std::uint32_t>(kOneWireConfSize)});
    return records;
}

std::size_t ProfileFileSize(ProfileVersion version)
{
    std::size_t size = kProfileHeaderSize;
    for (const ProfileRecordLayout& r : ProfileRecords(version))
        size += kProfileRecordHeaderSize + r.length;
    return size;
}

bool ReadProfileBytes(const std::string& path, std::vector<std::uint8_t>& bytes)
{
    bytes.assign(kProfileReadLimit, 0);
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) {
        bytes.clear();
        return false;
    }
    const std::size_t n = std::fread(bytes.data(), 1, bytes.size(), f);
    const bool ok = !std::ferror(f);
    std::fclose(f);
    bytes.resize(ok ? n : 0);
    return ok;
}

void AppendProfileRecord(std::string& out, std::uint32_t blockId, std::span<const std::uint8_t> bytes)
{
    AppendU32(out, blockId);
    AppendU32(out, static_cast<std::uint32_t>(bytes.size()));
    out.append(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

ProfileRecordReader::ProfileRecordReader(std::span<const std::uint8_t> file)
    : file_(file),
      pos_(file.size() < kProfileHeaderSize ? file.size() : kProfileHeaderSize)
{}

std::optional<std::span<const std::uint8_t>> ProfileRecordReader::Next(const ProfileRecordLayout& expected)
{
    const std::size_t left = file_.size() - pos_;
    if (left < kProfileRecordHeaderSize)
        return std::nullopt;
    const std::uint8_t* p = file_.data() + pos_;
    if (ReadU32(p) != expected.blockId || ReadU32(p + 4) != expected.length)
        return std::nullopt;
    // The length is the expected one, so it cannot be an absurd claim; the
    // bytes may still be cut short.
    if (left - kProfileRecordHeaderSize < expected.length)
        return std::nullopt;
    pos_ += kProfileRecordHeaderSize + expected.length;
    return file_.subspan(pos_ - expected.length, expected.length);
}

ProfileLoadVerdict VerdictFor(std::optional<ProfileVersion> version, int firmwareVersion)
{
    if (!version)
        return ProfileLoadVerdict::UnknownVersion;
    if (firmwareVersion < MinimumFirmwareOf(*version))
        return ProfileLoadVerdict::RefuseNewer;
    // The warning is owed only for the two oldest layouts; a "V3.5" file
    // taken by 4.03 firmware loads without one.
    const bool older = (*version == ProfileVersion::V10 && firmwareVersion >= 300) ||
                       (*version == ProfileVersion::V30 && firmwareVersion >= 305);
    return older ? ProfileLoadVerdict::LoadAndWarn : ProfileLoadVerdict::Load;
}

std::string AutomaticProfileName(std::int32_t serialNumber, const LocalDateTime& t)
{
    char stamp[64];
    std::snprintf(stamp, sizeof stamp, "%02d%02d%02d_%02d%02d%02d", t.year % 100, t.month, t.day, t.hour, t.minute,
                  t.second);
    char name[128];
    std::snprintf(name, sizeof name, "WF_%05d_%s.kvp", static_cast<int>(serialNumber), stamp);
    return name;
}

std::string ProfileFolderOf(const std::string& kvdFolder)
{
    return kvdFolder + "Profiles/";
}

std::vector<SavedProfile> AutomaticProfilesOf(const std::string& profileFolder, std::int32_t serialNumber)
{
    std::vector<SavedProfile> found;
    std::error_code error;
    char prefix[32];
    std::snprintf(prefix, sizeof prefix, "WF_%05d_", static_cast<int>(serialNumber));
    for (const auto& entry : std::filesystem::directory_iterator(profileFolder, error)) {
        const std::string name = entry.path().filename().string();
        // "WF_00123_240305_140709.kvp": the prefix, 6 digits, "_", 6 digits.
        const std::size_t p = std::strlen(prefix);
        if (name.size() != p + 17 || name.compare(0, p, prefix) != 0 || name.compare(p + 13, 4, ".kvp") != 0 ||
            name[p + 6] != '_' || !entry.is_regular_file(error))
            continue;
        int v[6];
        bool digits = true;
        for (int i = 0; i < 6; ++i) {
            const std::size_t at = p + (i < 3 ? 2 * i : 7 + 2 * (i - 3));
            digits = digits && std::isdigit(static_cast<unsigned char>(name[at])) &&
                     std::isdigit(static_cast<unsigned char>(name[at + 1]));
            v[i] = digits ? (name[at] - '0') * 10 + (name[at + 1] - '0') : 0;
        }
        if (!digits)
            continue;
        found.push_back({entry.path().string(), {2000 + v[0], v[1], v[2], v[3], v[4], v[5]}});
    }
    const auto key = [](const SavedProfile& s) {
        const LocalDateTime& t = s.time;
        return std::make_tuple(t.year, t.month, t.day, t.hour, t.minute, t.second, s.path);
    };
    std::sort(found.begin(), found.end(),
              [&](const SavedProfile& a, const SavedProfile& b) { return key(a) > key(b); });
    return found;
}

int NewestFirmwareOf(ProfileVersion version)
{
    switch (version) {
    case ProfileVersion::V10: return 299;
    case ProfileVersion::V30: return 304;
    case ProfileVersion::V35: return 402;
    case ProfileVersion::V43: return kNoDeviceFirmwareVersion;
    }
    return kNoDeviceFirmwareVersion;
}

} // namespace plendoro
