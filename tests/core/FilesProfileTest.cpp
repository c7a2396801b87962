// The profile format without the editor: versions, headers, records, the
// reader's refusal to run past the bytes, and the writer that keeps an
// earlier file whole.
#include "FilesSupport.h"
#include "common/AtomicFile.h"
#include "files/core/Profile.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace plendoro;
using namespace files_test;
namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

namespace {

// A whole profile whose block n holds bytes of value n + 1.
Bytes MakeProfile(ProfileVersion version)
{
    std::string out(ProfileHeader(version));
    for (const ProfileRecordLayout& r : ProfileRecords(version))
        AppendProfileRecord(out, r.blockId, Bytes(r.length, static_cast<std::uint8_t>(r.blockId + 1)));
    return Bytes(out.begin(), out.end());
}

void PutU32(Bytes& b, std::size_t at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

} // namespace

TEST(FilesProfileFormat, VersionsRecordsAndSizes)
{
    const std::pair<int, ProfileVersion> byFirmware[] = {
        {0, ProfileVersion::V10},   {299, ProfileVersion::V10}, {300, ProfileVersion::V30}, {304, ProfileVersion::V30},
        {305, ProfileVersion::V35}, {402, ProfileVersion::V35}, {403, ProfileVersion::V43}, {999, ProfileVersion::V43}};
    for (const auto& [firmware, version] : byFirmware)
        EXPECT_EQ(ProfileVersionFor(firmware), version) << firmware;

    auto describe = [](ProfileVersion v) {
        std::string s;
        for (const ProfileRecordLayout& r : ProfileRecords(v))
            s += std::to_string(r.blockId) + "(" + std::to_string(r.length) + ") ";
        return s;
    };
    EXPECT_EQ(describe(ProfileVersion::V10), "0(9) 1(108) 2(72) 3(20) ");
    EXPECT_EQ(describe(ProfileVersion::V30), "0(9) 1(111) 2(72) 3(20) 5(214) ");
    EXPECT_EQ(describe(ProfileVersion::V35), "0(9) 1(111) 2(72) 3(20) 5(214) 6(476) ");
    EXPECT_EQ(describe(ProfileVersion::V43), "0(9) 1(117) 2(72) 3(20) 5(214) 6(476) ");
    EXPECT_EQ(MakeProfile(ProfileVersion::V10).size(), 272u);
    EXPECT_EQ(MakeProfile(ProfileVersion::V30).size(), 497u);
    EXPECT_EQ(MakeProfile(ProfileVersion::V35).size(), 981u);
    EXPECT_EQ(MakeProfile(ProfileVersion::V43).size(), 987u);
}

TEST(FilesProfileFormat, HeaderIsRecognisedOnlyWhole)
{
    auto parse = [](const std::string& s) { return ParseProfileHeader(Bytes(s.begin(), s.end())); };
    EXPECT_EQ(parse("Kovaltrak Plendoro Profile V1.0"), ProfileVersion::V10);
    EXPECT_EQ(parse("Kovaltrak Plendoro Profile V3.0"), ProfileVersion::V30);
    EXPECT_EQ(parse("Kovaltrak Plendoro Profile V3.5"), ProfileVersion::V35);
    EXPECT_EQ(parse("Kovaltrak Plendoro Profile V4.3 and whatever follows"), ProfileVersion::V43);
    // One byte short, a terminator inside, another letter case, another version.
    EXPECT_FALSE(parse("Kovaltrak Plendoro Profile V4."));
    EXPECT_FALSE(parse(std::string("Kovaltrak Plendoro Profile V4\0003", 31)));
    EXPECT_FALSE(parse("kovaltrak plendoro profile v4.3"));
    EXPECT_FALSE(parse("Kovaltrak Plendoro Profile V4.4"));
    EXPECT_FALSE(parse(""));
}

TEST(FilesProfileFormat, NewerProfilesAreRefusedOlderOnesWarned)
{
    using V = ProfileVersion;
    using L = ProfileLoadVerdict;
    const std::tuple<std::optional<V>, int, L> cases[] = {
        {V::V10, 250, L::Load},
        {V::V10, 299, L::Load},
        {V::V10, 300, L::LoadAndWarn},
        {V::V30, 299, L::RefuseNewer},
        {V::V30, 304, L::Load},
        {V::V30, 305, L::LoadAndWarn},
        {V::V30, 403, L::LoadAndWarn},
        {V::V35, 304, L::RefuseNewer},
        {V::V35, 305, L::Load},
        {V::V35, 403, L::Load},
        {V::V43, 402, L::RefuseNewer},
        {V::V43, 403, L::Load},
        {std::nullopt, 403, L::UnknownVersion},
    };
    for (const auto& [version, firmware, verdict] : cases)
        EXPECT_EQ(VerdictFor(version, firmware), verdict)
            << "version " << (version ? static_cast<int>(*version) : -1) << " firmware " << firmware;
}

TEST(FilesProfileFormat, ReaderStopsAtTheFirstBadRecord)
{
    // How many records the reader hands out before its first refusal.
    auto good = [](const Bytes& file) {
        ProfileRecordReader reader(file);
        int n = 0;
        for (const ProfileRecordLayout& r : ProfileRecords(ProfileVersion::V35)) {
            const auto bytes = reader.Next(r);
            if (!bytes)
                break;
            EXPECT_EQ(Bytes(bytes->begin(), bytes->end()), Bytes(r.length, static_cast<std::uint8_t>(r.blockId + 1)));
            ++n;
        }
        return n;
    };
    const Bytes whole = MakeProfile(ProfileVersion::V35);
    EXPECT_EQ(good(whole), 6);
    Bytes extra = whole;
    extra.insert(extra.end(), 100, 0xEE);
    EXPECT_EQ(good(extra), 6) << "bytes after the last record do not matter";

    EXPECT_EQ(good(Bytes(whole.begin(), whole.end() - 8 - 476)), 5) << "cut after the block-5 record";
    EXPECT_EQ(good(Bytes(whole.begin(), whole.end() - 1)), 5) << "cut inside block 6";
    EXPECT_EQ(good(Bytes(whole.begin(), whole.begin() + 31 + 6)), 0) << "cut inside a length field";

    const std::size_t block1 = 31 + 8 + 9;
    Bytes wrongLength = whole;
    PutU32(wrongLength, block1 + 4, 108); // the first generation's length in a "V3.5" file
    EXPECT_EQ(good(wrongLength), 1);
    Bytes wrongId = whole;
    PutU32(wrongId, block1, 4);
    EXPECT_EQ(good(wrongId), 1);
    Bytes huge = whole;
    PutU32(huge, 31 + 4, 0xFFFFFFFFu);
    EXPECT_EQ(good(huge), 0) << "a huge length is refused, not followed";
    EXPECT_EQ(good(Bytes(whole.begin(), whole.begin() + 20)), 0) << "shorter than the header";
}

TEST(FilesProfileFormat, AutomaticNameAndBoundedReading)
{
    EXPECT_EQ(AutomaticProfileName(123, {2024, 3, 5, 14, 7, 9}), "WF_00123_240305_140709.kvp");
    EXPECT_EQ(AutomaticProfileName(1234567, {2009, 12, 31, 0, 0, 0}), "WF_1234567_091231_000000.kvp");

    TempFolder dir;
    Bytes bytes{1, 2, 3};
    EXPECT_FALSE(ReadProfileBytes(dir.path + "missing.kvp", bytes));
    EXPECT_FALSE(ReadProfileBytes(dir.path, bytes)) << "a folder in place of the file";
    Put(dir.path + "empty.kvp", "");
    ASSERT_TRUE(ReadProfileBytes(dir.path + "empty.kvp", bytes));
    EXPECT_TRUE(bytes.empty());
    Put(dir.path + "big.kvp", std::string(100000, 'x'));
    ASSERT_TRUE(ReadProfileBytes(dir.path + "big.kvp", bytes));
    EXPECT_EQ(bytes.size(), 987u);
}

TEST(FilesAtomicFile, ReplacesOnlyOnCommit)
{
    TempFolder dir;
    const std::string path = dir.path + "a.kvp";
    Put(path, "old profile");
    {
        AtomicFile dropped;
        ASSERT_TRUE(dropped.Create(path));
        ASSERT_TRUE(dropped.Write("new "));
        EXPECT_EQ(Slurp(path), "old profile") << "nothing shows before the commit";
    }
    EXPECT_EQ(Slurp(path), "old profile");
    EXPECT_EQ(dir.Entries(), 1u) << "a dropped file leaves no temporary file";

    AtomicFile file;
    ASSERT_TRUE(file.Create(path));
    ASSERT_TRUE(file.Write("new "));
    ASSERT_TRUE(file.Write("profile"));
    ASSERT_TRUE(file.Commit());
    EXPECT_EQ(Slurp(path), "new profile");
    EXPECT_EQ(dir.Entries(), 1u);
    const mode_t mask = umask(0);
    umask(mask);
    EXPECT_EQ(fs::status(path).permissions() & fs::perms::all, static_cast<fs::perms>(0666 & ~mask))
        << "an ordinary file, not a private temporary one";
}

TEST(FilesAtomicFile, FailuresLeaveTheEarlierFileWhole)
{
    TempFolder dir;
    AtomicFile missing;
    EXPECT_FALSE(missing.Create(dir.path + "no/such/folder/a.kvp"));
    EXPECT_FALSE(missing.Write("x"));
    EXPECT_FALSE(fs::exists(dir.path + "no"));

    const std::string path = dir.path + "a.kvp";
    Put(path, "good profile");
    bool created = false, written = true;
    {
        AtomicFile file;
        FileSizeLimit limit(16);
        created = file.Create(path);
        written = file.Write(std::string(987, 'p'));
    }
    EXPECT_TRUE(created);
    EXPECT_FALSE(written) << "a short write is a failure";
    EXPECT_EQ(Slurp(path), "good profile");
    EXPECT_EQ(dir.Entries(), 1u) << "the partial temporary file is gone";

    fs::create_directory(dir.path + "b.kvp"); // in the way of the rename
    AtomicFile blocked;
    ASSERT_TRUE(blocked.Create(dir.path + "b.kvp"));
    ASSERT_TRUE(blocked.Write("x"));
    EXPECT_FALSE(blocked.Commit());
    EXPECT_TRUE(fs::is_directory(dir.path + "b.kvp"));
    EXPECT_EQ(dir.Entries(), 2u);
}

// Every file the program replaces: a link is written through to its target
// and stays a link, the file keeps its mode, and a file its owner made
// read-only is refused, checked by its mode bits, since root may write it.
TEST(FilesAtomicFile, LinksModesAndReadOnlyFilesSurviveAReplace)
{
    TempFolder dir;
    fs::create_directory(dir.path + "real");
    Put(dir.path + "real/a.kvp", "old");
    fs::create_symlink("real/a.kvp", dir.path + "link.kvp");
    fs::create_symlink("link.kvp", dir.path + "chain.kvp");
    ASSERT_TRUE(WriteFileAtomically(dir.path + "chain.kvp", "new"));
    EXPECT_TRUE(fs::is_symlink(dir.path + "chain.kvp"));
    EXPECT_TRUE(fs::is_symlink(dir.path + "link.kvp"));
    EXPECT_EQ(Slurp(dir.path + "real/a.kvp"), "new");
    EXPECT_EQ(dir.Entries(), 3u) << "no temporary file beside the links";

    const std::string own = dir.path + "own.kvd";
    Put(own, "old");
    ASSERT_EQ(::chmod(own.c_str(), 0640), 0);
    AtomicFile file;
    ASSERT_TRUE(file.Create(own));
    ASSERT_TRUE(file.Write("new"));
    ASSERT_TRUE(file.Commit());
    EXPECT_EQ(Slurp(own), "new");
    EXPECT_EQ(fs::status(own).permissions() & fs::perms::all, static_cast<fs::perms>(0640));

    const std::string locked = dir.path + "locked.kvd";
    Put(locked, "kept");
    ASSERT_EQ(::chmod(locked.c_str(), 0444), 0);
    AtomicFile refused;
    EXPECT_FALSE(refused.Create(locked));
    EXPECT_FALSE(WriteFileAtomically(locked, "new"));
    EXPECT_EQ(Slurp(locked), "kept");
    EXPECT_EQ(fs::status(locked).permissions() & fs::perms::all, static_cast<fs::perms>(0444));
}

// The new bytes are not the ones a set-id or sticky bit was given for; the
// temporary file is not handed to a program started while it is open.
TEST(FilesAtomicFile, SetIdAndStickyBitsAreDroppedAndTheTemporaryFileIsNotInherited)
{
    TempFolder dir;
    const std::string path = dir.path + "firmware.eraw";
    const std::pair<mode_t, mode_t> modes[] = {{06755, 0755}, {04700, 0700}, {02750, 0750}, {01644, 0644}};
    for (const auto& [before, after] : modes) {
        Put(path, "old");
        ASSERT_EQ(::chmod(path.c_str(), before), 0);
        ASSERT_TRUE(WriteFileAtomically(path, "new"));
        struct stat st {};
        ASSERT_EQ(::stat(path.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, after) << std::oct << before;
    }

    AtomicFile file;
    ASSERT_TRUE(file.Create(path));
    int flags = -1;
    for (const auto& fd : fs::directory_iterator("/proc/self/fd")) {
        std::error_code ec;
        if (fs::read_symlink(fd.path(), ec).string().rfind(path + ".", 0) == 0)
            flags = ::fcntl(std::stoi(fd.path().filename().string()), F_GETFD);
    }
    ASSERT_GE(flags, 0) << "the temporary file is open";
    EXPECT_TRUE(flags & FD_CLOEXEC);
}

// A link in a shared folder that another user planted is not followed: it
// is replaced itself, dangling or not, and where the folder's sticky bit
// refuses that, the write fails and leaves everything as it was. Only root
// can plant another user's link in a test.
TEST(FilesAtomicFile, AnotherUsersLinkIsReplacedNotFollowed)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to give a link to another user";
    constexpr uid_t kVictim = 65534, kPlanter = 65533;
    TempFolder dir;
    fs::create_directories(dir.path + "home");
    fs::create_directories(dir.path + "shared");
    Put(dir.path + "home/notes", "mine");
    const auto plant = [&](const std::string& target, const std::string& link) {
        fs::create_symlink(target, dir.path + link);
        ASSERT_EQ(::lchown((dir.path + link).c_str(), kPlanter, kPlanter), 0);
    };
    plant(dir.path + "home/notes", "shared/firmware.eraw");
    plant(dir.path + "home/appeared", "shared/dangling.kvd");
    ASSERT_TRUE(WriteFileAtomically(dir.path + "shared/firmware.eraw", "firmware"));
    ASSERT_TRUE(WriteFileAtomically(dir.path + "shared/dangling.kvd", "kvd"));
    EXPECT_EQ(Slurp(dir.path + "home/notes"), "mine");
    EXPECT_FALSE(fs::exists(dir.path + "home/appeared"));
    EXPECT_FALSE(fs::is_symlink(dir.path + "shared/firmware.eraw"));
    EXPECT_EQ(Slurp(dir.path + "shared/firmware.eraw"), "firmware");
    EXPECT_EQ(Slurp(dir.path + "shared/dangling.kvd"), "kvd");

    // The victim writes into a sticky shared folder, as a user and not root.
    ASSERT_EQ(::chown((dir.path + "home").c_str(), kVictim, kVictim), 0);
    ASSERT_EQ(::chown((dir.path + "home/notes").c_str(), kVictim, kVictim), 0);
    ASSERT_EQ(::chmod((dir.path + "shared").c_str(), 01777), 0);
    ASSERT_EQ(::chmod(dir.path.c_str(), 0755), 0);
    plant(dir.path + "home/notes", "shared/planted.eraw");
    const pid_t child = ::fork();
    if (child == 0) {
        if (::setgid(kVictim) != 0 || ::setuid(kVictim) != 0)
            ::_exit(2);
        ::_exit(WriteFileAtomically(dir.path + "shared/planted.eraw", "firmware") ? 1 : 0);
    }
    int status = -1;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_EQ(WEXITSTATUS(status), 0) << "1: written, 2: could not become the victim";
    EXPECT_EQ(Slurp(dir.path + "home/notes"), "mine");
    EXPECT_TRUE(fs::is_symlink(dir.path + "shared/planted.eraw"));
    EXPECT_EQ(dir.Entries(), 2u);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path + "shared"), fs::directory_iterator()), 3)
        << "no temporary file left";
}
