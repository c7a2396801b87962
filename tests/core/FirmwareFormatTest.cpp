// The update protocol's frames and checksums, the ".eraw" format and the
// scan of the firmware folder.
#include "common/Bytes.h"
#include "firmware/core/FirmwareFile.h"
#include "firmware/core/UpdateProtocol.h"
#include "link/Protocol.h"

#include "LoopbackUpdateServer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

using namespace plendoro;
using plendoro::test::Bytes;
namespace fs = std::filesystem;

namespace {

const std::uint8_t* U(const char* s)
{
    return reinterpret_cast<const std::uint8_t*>(s);
}

struct FirmwareFolder {
    FirmwareFolder()
    {
        char tmpl[] = "/tmp/plendoro-fw-XXXXXX";
        base = mkdtemp(tmpl);
        fs::create_directory(base + "/firmware");
    }
    ~FirmwareFolder() { fs::remove_all(base); }
    std::string Put(const std::string& name, const Bytes& bytes) const
    {
        const std::string path = base + "/firmware/" + name;
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
        return path;
    }
    std::string base;
};

// A sound file with any version text and, when given, build date text,
// built by hand rather than by the client's builder, so that the reader is
// checked against the format.
Bytes EraW(const std::string& version, const Bytes& image = Bytes(40, 0x5A), const std::string& date = {})
{
    Bytes f(8 + version.size());
    WriteLe16(f.data() + 6, static_cast<std::uint16_t>(version.size()));
    std::memcpy(f.data() + 8, version.data(), version.size());
    if (!date.empty()) {
        const std::size_t at = f.size();
        f.resize(at + 2);
        WriteLe16(f.data() + at, static_cast<std::uint16_t>(date.size()));
        f.insert(f.end(), date.begin(), date.end());
    }
    f.insert(f.end(), image.begin(), image.end());
    WriteLe32(f.data(), static_cast<std::uint32_t>(f.size()) | (date.empty() ? 0u : 0x80000000u));
    // The sum covers the length modulo 65536 bytes.
    WriteLe16(f.data() + 4, Sum16(f.data(), f.size() % 65536));
    return f;
}

} // namespace

TEST(FirmwareChecksums, CheckValues)
{
    EXPECT_EQ(Crc8Maxim(U("123456789"), 9), 0xA1);
    EXPECT_EQ(ImageCrc32(U("123456789"), 9), 0x2DFD2D88u);
    EXPECT_EQ(ImageCrc32(U(""), 0), 0u);
}

TEST(UpdateFrames, RequestsCarryTheirFieldsAndACutName)
{
    const Bytes q = BuildVersionQuery(0x01020304, "KVTW-0.0");
    ASSERT_EQ(q.size(), 29u);
    EXPECT_EQ(q[0], '+');
    EXPECT_EQ(ReadLe32(q.data() + 1), 16u);
    EXPECT_EQ(ReadLe32(q.data() + 5), 0x01020304u);
    EXPECT_EQ(q[9], 0);
    EXPECT_EQ(ReadNameField(q.data() + 10), "KVTW-0.0");
    EXPECT_EQ(q[26], Crc8Maxim(q.data(), 26));
    EXPECT_EQ(q[27], '\r');
    EXPECT_EQ(q[28], '\n');

    const Bytes r = BuildImageRequest(7, "ABCDEFGHIJKLMNOPQRST-1.2", 1000);
    ASSERT_EQ(r.size(), 37u);
    EXPECT_EQ(ReadLe32(r.data() + 1), 24u);
    EXPECT_EQ(r[9], 4);
    EXPECT_EQ(ReadNameField(r.data() + 10), "ABCDEFGHIJKLMNO"); // 15 and a NUL
    EXPECT_EQ(r[25], 0);
    EXPECT_EQ(ReadLe32(r.data() + 26), 0u);
    EXPECT_EQ(ReadLe32(r.data() + 30), 1000u);
    EXPECT_EQ(r[34], Crc8Maxim(r.data(), 34));
}

TEST(UpdateFrames, VersionReplyIsCheckedAndBounded)
{
    using test::VersionReply;
    const auto parse = [](const Bytes& b, std::uint32_t serial = 5) {
        return ParseVersionReply(b.data(), b.size(), serial);
    };

    auto v = parse(VersionReply(5, "KVTW-4.12", 1234, 99));
    ASSERT_TRUE(v);
    EXPECT_EQ(v->name, "KVTW");
    EXPECT_EQ(v->major, 4);
    EXPECT_EQ(v->minor, 12);
    EXPECT_EQ(v->imageLength, 1234u);
    EXPECT_EQ(v->buildTime, 99u);

    EXPECT_FALSE(parse(VersionReply(5, "KVTW-4.12", 1, 0), 6)) << "another serial number";
    Bytes bad = VersionReply(5, "KVTW-4.12", 1, 0);
    bad[38] ^= 1;
    EXPECT_FALSE(parse(bad)) << "CRC-8";
    Bytes code = VersionReply(5, "KVTW-4.12", 1, 0);
    code[9] = 6;
    code[38] = Crc8Maxim(code.data(), 38);
    EXPECT_FALSE(parse(code)) << "not a version reply";
    Bytes shortReply = VersionReply(5, "KVTW-4.12", 1, 0);
    EXPECT_FALSE(ParseVersionReply(shortReply.data(), 40, 5));

    // A name field without a NUL is read as its 16 bytes.
    v = parse(VersionReply(5, "LONGNAMEOFSERVR-", 1, 0));
    ASSERT_TRUE(v);
    EXPECT_EQ(v->name, "LONGNAMEOFSERVR");
    v = parse(VersionReply(5, "ABCDEFGHIJKLMNOP", 1, 0));
    ASSERT_TRUE(v);
    EXPECT_EQ(v->name, "ABCDEFGHIJKLMNOP");

    EXPECT_TRUE(parse(VersionReply(5, "KVTW-200.99", 1, 0)));
    EXPECT_FALSE(parse(VersionReply(5, "KVTW-201.0", 1, 0)));
    EXPECT_FALSE(parse(VersionReply(5, "KVTW-3.100", 1, 0)));
    EXPECT_FALSE(parse(VersionReply(5, "KVTW--1.0", 1, 0)));

    EXPECT_TRUE(parse(VersionReply(5, "KVTW-1.0", kMaxImageLength, 0)));
    EXPECT_FALSE(parse(VersionReply(5, "KVTW-1.0", kMaxImageLength + 1, 0)));
    EXPECT_FALSE(parse(VersionReply(5, "KVTW-1.0", 0xFFFFFFFFu, 0)));
}

TEST(UpdateFrames, ImageReplyNeedsItsVersionLengthAndCrc)
{
    const Bytes image = {1, 2, 3, 4, 5, 6, 7};
    const auto check = [&](const Bytes& b, int major = 3, int minor = 5) {
        return CheckImageReply(b.data(), b.size(), 7, major, minor);
    };
    EXPECT_TRUE(check(test::ImageReply(1, "KVTW-3.5", image)));
    EXPECT_FALSE(check(test::ImageReply(1, "KVTW-3.5", image, 1)));
    EXPECT_FALSE(check(test::ImageReply(1, "KVTW-3.6", image)));
    EXPECT_FALSE(check(test::ImageReply(1, "KVTW-3.5", image), 3, 6));
    EXPECT_FALSE(check(test::ImageReply(1, "KVTX-3.5", image)));
    Bytes length = test::ImageReply(1, "KVTW-3.5", image);
    WriteLe32(length.data() + 1, 7 + 29);
    EXPECT_FALSE(check(length));
}

TEST(EraWFile, BuiltFileReadsBackWithDateAndSum)
{
    const Bytes image(300, 0xA7);
    const Bytes file = BuildFirmwareFile(3, 5, 0, image.data(), image.size());
    // The build date of time 0 is the epoch in local time.
    const std::time_t epoch = 0;
    std::tm local{};
    localtime_r(&epoch, &local);
    char date[64];
    std::snprintf(date, sizeof date, "%02d.%02d.%04d %02d:%02d:%02d", local.tm_mday, local.tm_mon + 1,
                  local.tm_year + 1900, local.tm_hour, local.tm_min, local.tm_sec);
    ASSERT_EQ(ReadLe16(file.data() + 6), 8);
    EXPECT_EQ(std::string(file.begin() + 8, file.begin() + 16), "KVTW-3.5");
    ASSERT_EQ(ReadLe16(file.data() + 16), 19);
    EXPECT_EQ(std::string(file.begin() + 18, file.begin() + 37), date);
    EXPECT_EQ(ReadLe32(file.data()), 0x80000000u | file.size());
    EXPECT_TRUE(std::equal(image.begin(), image.end(), file.begin() + 37));

    FirmwareFileInfo info;
    ASSERT_TRUE(ReadFirmwareFile(file.data(), file.size(), info));
    EXPECT_EQ(info.name, "KVTW");
    EXPECT_EQ(info.major, 3);
    EXPECT_EQ(info.minor, 5);
    EXPECT_EQ(info.buildTime, 0);

    Bytes damaged = file;
    damaged[200] ^= 0x10;
    EXPECT_FALSE(ReadFirmwareFile(damaged.data(), damaged.size(), info)) << "sum";
    EXPECT_FALSE(ReadFirmwareFile(file.data(), file.size() - 1, info)) << "size field";
}

TEST(EraWFile, ADateBeyondTheCalendarIsNoDate)
{
    FirmwareFileInfo info;
    for (const char* date : {"01.01.-2147483648 00:00:00", "01.-2147483648.2024 00:00:00"}) {
        const Bytes file = EraW("KVTW-4.12", Bytes(40, 0x5A), date);
        ASSERT_TRUE(ReadFirmwareFile(file.data(), file.size(), info)) << date;
        EXPECT_EQ(info.major, 4) << date;
        EXPECT_EQ(info.minor, 12) << date;
        EXPECT_EQ(info.buildTime, 0) << date;
    }
    // A day past the month's end still counts, as the calendar carries it.
    const Bytes carried = EraW("KVTW-4.12", Bytes(40, 0x5A), "32.01.2024 12:00:00");
    ASSERT_TRUE(ReadFirmwareFile(carried.data(), carried.size(), info));
    std::tm february{};
    february.tm_mday = 1;
    february.tm_mon = 1;
    february.tm_year = 124;
    february.tm_hour = 12;
    february.tm_isdst = -1;
    EXPECT_EQ(info.buildTime, std::mktime(&february));
}

TEST(EraWFile, SumCoversOnlyTheLengthModulo65536)
{
    // 70 040 bytes: the sum covers the first 4 504 of them.
    Bytes image(70040 - 37, 0x11);
    Bytes file = BuildFirmwareFile(1, 2, 0, image.data(), image.size());
    ASSERT_EQ(file.size(), 70040u);
    const std::uint16_t sum = ReadLe16(file.data() + 4);
    file[4504] ^= 0xFF;
    EXPECT_EQ(FirmwareFileSum(file.data(), file.size()), sum);
    file[4503] ^= 0xFF;
    EXPECT_NE(FirmwareFileSum(file.data(), file.size()), sum);
}

TEST(FirmwareScan, MissingOrEmptyFolderOffersNothing)
{
    DiskFirmware disk;
    disk.deviceCode = "KVTW";
    FirmwareScan scan = FindNewestFirmware(disk, "/nonexistent-plendoro-folder");
    EXPECT_EQ(scan.text, kNoFirmwareText);
    EXPECT_FALSE(scan.canFlash);
    FirmwareFolder folder;
    scan = FindNewestFirmware(disk, folder.base);
    EXPECT_EQ(scan.text, kNoFirmwareText);
    EXPECT_FALSE(scan.canFlash);
    EXPECT_TRUE(disk.path.empty());
}

TEST(FirmwareScan, NewestByMajorThenMinorAndTheSameOnEveryRescan)
{
    FirmwareFolder folder;
    folder.Put("a.eraw", EraW("KVTW-3.5"));
    const std::string p37 = folder.Put("b.eraw", EraW("KVTW-3.7"));
    DiskFirmware disk;
    disk.deviceCode = "KVTW";
    for (int pass = 0; pass < 2; ++pass) {
        const FirmwareScan scan = FindNewestFirmware(disk, folder.base);
        EXPECT_EQ(scan.text, "KVTW-3.07") << pass;
        EXPECT_TRUE(scan.canFlash) << pass;
        EXPECT_EQ(scan.path, p37);
        EXPECT_EQ(disk.path, "\"" + p37 + "\"");
    }
    folder.Put("c.eraw", EraW("KVTW-3.9"));
    const std::string p41 = folder.Put("d.eraw", EraW("KVTW-4.1"));
    const FirmwareScan scan = FindNewestFirmware(disk, folder.base);
    EXPECT_EQ(scan.text, "KVTW-4.01");
    EXPECT_EQ(scan.path, p41);
    EXPECT_EQ(disk.major, 4);
    EXPECT_EQ(disk.minor, 1);
}

TEST(FirmwareScan, SkipsOtherDevicesBrokenFilesAndOtherExtensions)
{
    FirmwareFolder folder;
    folder.Put("other.eraw", EraW("KVTX-9.9"));
    DiskFirmware disk;
    disk.deviceCode = "KVTW";
    FirmwareScan scan = FindNewestFirmware(disk, folder.base);
    EXPECT_EQ(scan.text, "other.eraw");
    EXPECT_FALSE(scan.canFlash);

    Bytes broken = EraW("KVTW-5.0");
    WriteLe32(broken.data(), static_cast<std::uint32_t>(broken.size() + 1));
    fs::remove(folder.base + "/firmware/other.eraw");
    folder.Put("old.eraw", broken);
    scan = FindNewestFirmware(disk, folder.base);
    EXPECT_EQ(scan.text, "old.eraw");
    EXPECT_FALSE(scan.canFlash);

    folder.Put("fw.eraw.bak", EraW("KVTW-7.0"));
    fs::create_directory(folder.base + "/firmware/dir.eraw");
    scan = FindNewestFirmware(disk, folder.base);
    EXPECT_FALSE(scan.canFlash);

    const std::string upper = folder.Put("FW.ERAW", EraW("KVTW-6.2"));
    scan = FindNewestFirmware(disk, folder.base);
    EXPECT_EQ(scan.text, "KVTW-6.02");
    EXPECT_EQ(scan.path, upper);

    // A name without "-" carries no version and is never taken.
    FirmwareFolder plain;
    plain.Put("plain.eraw", EraW("KVTW"));
    scan = FindNewestFirmware(disk, plain.base);
    EXPECT_EQ(scan.text, "plain.eraw");
    EXPECT_FALSE(scan.canFlash);
}

TEST(FirmwareScan, ValidationTakesOnlyAGreaterMajorMinorPair)
{
    DiskFirmware disk;
    disk.deviceCode = "KVTW";
    disk.major = 3;
    disk.minor = 9;
    const Bytes v41 = EraW("KVTW-4.1"), v38 = EraW("KVTW-3.8"), v39 = EraW("KVTW-3.9"), v310 = EraW("KVTW-3.10");
    EXPECT_FALSE(ValidateFirmwareFile(disk, v38.data(), v38.size()));
    EXPECT_FALSE(ValidateFirmwareFile(disk, v39.data(), v39.size()));
    EXPECT_TRUE(ValidateFirmwareFile(disk, v310.data(), v310.size()));
    EXPECT_TRUE(ValidateFirmwareFile(disk, v41.data(), v41.size()));
    EXPECT_EQ(disk.major, 4);
    EXPECT_EQ(disk.minor, 1);
}

// The scan runs on the window's thread at every show: a file too large to
// be firmware of ours is not read at all, nor is anything that is not a
// regular file (a FIFO would block the open for ever).
TEST(FirmwareScan, ReadsOnlyRegularFilesUpToTheLargestTheFormatAllows)
{
    FirmwareFolder folder;
    const std::size_t header = EraW("KVTW-9.1", {}).size();
    const std::string largest = folder.Put("largest.eraw", EraW("KVTW-9.1", Bytes(kMaxFirmwareFileSize - header, 1)));
    folder.Put("larger.eraw", EraW("KVTW-9.2", Bytes(kMaxFirmwareFileSize - header + 1, 1)));
    ASSERT_EQ(::mkfifo((folder.base + "/firmware/x.eraw").c_str(), 0600), 0);
    DiskFirmware disk;
    disk.deviceCode = "KVTW";
    const FirmwareScan scan = FindNewestFirmware(disk, folder.base);
    EXPECT_EQ(scan.text, "KVTW-9.01");
    EXPECT_EQ(scan.path, largest);
}

// A link in the folder is followed only when the user or root made it;
// only root can plant another user's link in a test.
TEST(FirmwareScan, FollowsOnlyTheUsersOwnLinks)
{
    FirmwareFolder folder;
    const std::string elsewhere = folder.base + "/elsewhere.eraw";
    const Bytes v81 = EraW("KVTW-8.1");
    std::ofstream(elsewhere, std::ios::binary).write(reinterpret_cast<const char*>(v81.data()), v81.size());
    const std::string own = folder.base + "/firmware/own.eraw";
    fs::create_symlink(elsewhere, own);
    DiskFirmware disk;
    disk.deviceCode = "KVTW";
    EXPECT_EQ(FindNewestFirmware(disk, folder.base).path, own);

    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to give a link to another user";
    ASSERT_EQ(::lchown(own.c_str(), 65534, 65534), 0);
    const FirmwareScan scan = FindNewestFirmware(disk, folder.base);
    EXPECT_EQ(scan.text, kNoFirmwareText);
    EXPECT_FALSE(scan.canFlash);
}
