#include "firmware/core/FirmwareFile.h"

#include "common/AtomicFile.h"
#include "common/Bytes.h"
#include "common/FileIo.h"
#include "firmware/core/UpdateProtocol.h"
#include "link/Protocol.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>

namespace plendoro {
namespace {

constexpr std::uint32_t kDateFlag = 0x80000000u;

std::string Upper(std::string s)
{
    for (char& c : s)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

bool HasEraw(const std::string& name)
{
    const auto dot = name.rfind('.');
    return dot != std::string::npos && Upper(name.substr(dot)) == ".ERAW";
}

static_assert(kMaxFirmwareFileSize == kMaxImageLength + 10u + 2u * 0xFFFFu);

// Opened without blocking, as a FIFO of the name would wait for a writer
// for ever, and judged by the opened file itself, so that nothing put in
// its place after the listing is read.
bool ReadCandidate(const std::string& file, std::vector<std::uint8_t>& bytes)
{
    const int fd = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st {};
    bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size >= 0 &&
              static_cast<std::uint64_t>(st.st_size) <= kMaxFirmwareFileSize;
    if (ok) {
        bytes.resize(static_cast<std::size_t>(st.st_size));
        std::size_t got = 0;
        while (got < bytes.size()) {
            const ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                break;
            got += static_cast<std::size_t>(n);
        }
        ok = got == bytes.size();
    }
    ::close(fd);
    return ok;
}

} // namespace

std::uint16_t FirmwareFileSum(const std::uint8_t* bytes, std::size_t size)
{
    const std::size_t covered = std::min<std::size_t>(ReadLe32(bytes) & 0xFFFFu, size);
    std::vector<std::uint8_t> copy(bytes, bytes + covered);
    for (std::size_t i = 4; i < 6 && i < copy.size(); ++i)
        copy[i] = 0;
    return Sum16(copy.data(), copy.size());
}

std::vector<std::uint8_t> BuildFirmwareFile(int major, int minor, std::uint32_t buildTime, const std::uint8_t* image,
                                            std::size_t imageLength)
{
    char name[40];
    std::snprintf(name, sizeof name, "KVTW-%d.%d", major, minor);
    const std::time_t t = static_cast<std::time_t>(buildTime);
    std::tm local{};
    localtime_r(&t, &local);
    char date[64];
    std::snprintf(date, sizeof date, "%02d.%02d.%04d %02d:%02d:%02d", local.tm_mday, local.tm_mon + 1,
                  local.tm_year + 1900, local.tm_hour, local.tm_min, local.tm_sec);
    const std::size_t n = std::strlen(name), d = std::strlen(date);
    std::vector<std::uint8_t> file(10 + n + d + imageLength, 0);
    WriteLe32(file.data(), static_cast<std::uint32_t>(file.size()) | kDateFlag);
    WriteLe16(file.data() + 6, static_cast<std::uint16_t>(n));
    std::memcpy(file.data() + 8, name, n);
    WriteLe16(file.data() + 8 + n, static_cast<std::uint16_t>(d));
    std::memcpy(file.data() + 10 + n, date, d);
    if (imageLength)
        std::memcpy(file.data() + 10 + n + d, image, imageLength);
    WriteLe16(file.data() + 4, FirmwareFileSum(file.data(), file.size()));
    return file;
}

bool WriteFirmwareFile(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    AtomicFile file;
    return file.Create(path) &&
           file.Write(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size())) && file.Commit();
}

bool ReadFirmwareFile(const std::uint8_t* bytes, std::size_t size, FirmwareFileInfo& info)
{
    if (size < 8)
        return false;
    const std::uint32_t word = ReadLe32(bytes);
    if ((word & ~kDateFlag) != size || ReadLe16(bytes + 4) != FirmwareFileSum(bytes, size))
        return false;
    const std::size_t n = ReadLe16(bytes + 6);
    if (8 + n > size)
        return false;
    const std::string text(reinterpret_cast<const char*>(bytes + 8), n);
    FirmwareFileInfo got;
    const std::size_t dash = text.find('-');
    got.name = text.substr(0, dash);
    if (dash != std::string::npos)
        std::sscanf(text.c_str() + dash + 1, "%d.%d", &got.major, &got.minor);
    if (word & kDateFlag) {
        if (10 + n > size)
            return false;
        const std::size_t d = ReadLe16(bytes + 8 + n);
        if (10 + n + d > size)
            return false;
        const std::string date(reinterpret_cast<const char*>(bytes + 10 + n), d);
        std::tm tm{};
        // A month or year too far below zero to take the offsets is no date
        // at all; any other number is left to mktime to normalise.
        if (std::sscanf(date.c_str(), "%d.%d.%d %d:%d:%d", &tm.tm_mday, &tm.tm_mon, &tm.tm_year, &tm.tm_hour,
                        &tm.tm_min, &tm.tm_sec) == 6 &&
            tm.tm_mon > std::numeric_limits<int>::min() && tm.tm_year >= std::numeric_limits<int>::min() + 1900) {
            tm.tm_mon -= 1;
            tm.tm_year -= 1900;
            tm.tm_isdst = -1;
            got.buildTime = std::mktime(&tm);
        }
    }
    info = got;
    return true;
}

bool ValidateFirmwareFile(DiskFirmware& disk, const std::uint8_t* bytes, std::size_t size)
{
    FirmwareFileInfo info;
    if (!ReadFirmwareFile(bytes, size, info) || info.name != disk.deviceCode)
        return false;
    // Newer means a greater major, or the same major and a greater minor.
    if (std::pair(info.major, info.minor) <= std::pair(disk.major, disk.minor))
        return false;
    disk.major = info.major;
    disk.minor = info.minor;
    disk.buildTime = info.buildTime;
    return true;
}

FirmwareScan FindNewestFirmware(DiskFirmware& disk, const std::string& baseFolder)
{
    FirmwareScan scan;
    scan.text = kNoFirmwareText;
    disk.major = 0;
    disk.minor = 0;
    disk.buildTime = 0;
    disk.path.clear();
    std::string folder = baseFolder;
    if (!folder.empty() && folder.back() != '/')
        folder += '/';
    folder += kFirmwareFolder;
    folder += '/';
    if (DIR* dir = opendir(folder.c_str())) {
        while (const dirent* entry = readdir(dir)) {
            const std::string name = entry->d_name;
            const std::string path = folder + name;
            if (!HasEraw(name))
                continue;
            const std::string file = FollowOwnLinks(path);
            struct stat st {};
            if (file.empty() || lstat(file.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
                continue;
            scan.text = name;
            std::vector<std::uint8_t> bytes;
            if (!ReadCandidate(file, bytes))
                continue;
            if (ValidateFirmwareFile(disk, bytes.data(), bytes.size()))
                disk.path = "\"" + path + "\"";
        }
        closedir(dir);
    }
    if (disk.major != 0 && !disk.path.empty()) {
        char text[48];
        std::snprintf(text, sizeof text, "KVTW-%d.%02d", disk.major, disk.minor);
        scan.text = text;
        scan.path = disk.path.substr(1, disk.path.size() - 2);
        scan.canFlash = true;
    }
    return scan;
}

} // namespace plendoro
