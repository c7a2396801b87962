#pragma once
// ".eraw" firmware files: length (bit 31: a build date follows the name),
// file sum, version text, optional build date, image. And the folder
// "firmware" where they wait for the loader.
#include <cstddef>
#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

namespace plendoro {

constexpr const char* kFirmwareFolder = "firmware";
constexpr const char* kDownloadedFirmwareName = "firmware.eraw";
constexpr const char* kNoFirmwareText = "прошивка отстутствует";
// The largest file the scan reads: the largest image the update server may
// send behind the largest header the format can describe (two 16-bit
// lengths of text). Anything larger is no firmware of ours.
constexpr std::size_t kMaxFirmwareFileSize = 16u * 1024u * 1024u + 10u + 2u * 0xFFFFu;

// Sum16 over the first (file length mod 65536) bytes with the sum field
// itself taken as zero.
std::uint16_t FirmwareFileSum(const std::uint8_t* bytes, std::size_t size);

// The file the update client saves: name "KVTW-major.minor", the build
// date in local time, then the image.
std::vector<std::uint8_t> BuildFirmwareFile(int major, int minor, std::uint32_t buildTime, const std::uint8_t* image,
                                            std::size_t imageLength);
// Written under a temporary name and renamed into place; the folder must
// exist.
bool WriteFirmwareFile(const std::string& path, const std::vector<std::uint8_t>& bytes);

struct FirmwareFileInfo {
    std::string name; // before the first "-" of the version text
    int major = 0;
    int minor = 0;
    std::time_t buildTime = 0; // 0 without a date
};
// The header read and checked (size field, sum, lengths within the file);
// nothing about which device or version.
bool ReadFirmwareFile(const std::uint8_t* bytes, std::size_t size, FirmwareFileInfo& info);

// The newest firmware for one device code found so far.
struct DiskFirmware {
    std::string deviceCode; // the name part a file must carry
    int major = 0;
    int minor = 0;
    std::time_t buildTime = 0;
    std::string path; // enclosed in double quotes; empty when none was taken
};

// Takes the file when it is sound, of the device code and newer by (major,
// minor) than the best already taken.
bool ValidateFirmwareFile(DiskFirmware& disk, const std::uint8_t* bytes, std::size_t size);

struct FirmwareScan {
    std::string text; // for the label: a version, a file name or "none"
    std::string path; // the file taken, without quotes; empty when none
    bool canFlash = false;
};
// Scans baseFolder/firmware/*.eraw (any case of the extension) afresh: the
// state's version starts at 0 on every scan, so an unchanged folder gives
// the same result each time. Only regular files up to kMaxFirmwareFileSize
// are read; a link is followed only when the user or root owns it.
FirmwareScan FindNewestFirmware(DiskFirmware& disk, const std::string& baseFolder);

} // namespace plendoro
