// The kernel-driver library over a pseudo-terminal: its slave stands for
// /dev/ttyUSB0, and the test drives the master as the tracker would.
#include "Device.h"
#include "TtyFixture.h"
#include "link/Identification.h"
#include "link/Protocol.h"
#include "link/UsbLink.h"
#include "model/Blocks.h"

#include <array>
#include <atomic>
#include <fcntl.h>
#include <mutex>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

using namespace ttytest;
using namespace plendoro;

namespace {

// The simulated tracker's firmware behind the master side.
class TrackerPeer {
public:
    TrackerPeer(int master, int firmware) : master_(master), device_(Setup(firmware))
    {
        device_.Opened(std::make_shared<plsim::HandleState>(), plsim::Clock::now(), timing_);
        thread_ = std::thread([this] { Run(); });
    }
    ~TrackerPeer()
    {
        stop_ = true;
        thread_.join();
    }
    std::vector<std::uint8_t> Stored(BlockId block)
    {
        std::lock_guard lock(mutex_);
        return device_.setup.blocks[static_cast<int>(block)];
    }

private:
    static plsim::DeviceSetup Setup(int firmware)
    {
        plsim::DeviceSetup setup;
        setup.firmware = firmware;
        return setup;
    }
    void Run()
    {
        std::array<std::uint8_t, 4096> bytes{};
        while (!stop_) {
            pollfd p{master_, POLLIN, 0};
            const int ready = poll(&p, 1, 1);
            const plsim::TimePoint now = plsim::Clock::now();
            std::lock_guard lock(mutex_);
            if (ready > 0 && (p.revents & POLLIN)) {
                const ssize_t n = read(master_, bytes.data(), bytes.size());
                if (n > 0)
                    device_.HostWrite(bytes.data(), static_cast<std::size_t>(n), now, timing_);
            } else if (ready > 0) {
                std::this_thread::sleep_for(std::chrono::milliseconds(1)); // the slave is closed
            }
            device_.Advance(now, timing_);
            const std::size_t out = device_.Take(bytes.data(), bytes.size(), now);
            if (out) {
                ASSERT_EQ(write(master_, bytes.data(), out), ssize_t(out));
            }
        }
    }

    int master_;
    plsim::Timing timing_{.wire = false};
    std::mutex mutex_;
    plsim::Device device_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

struct PtyTest : ::testing::Test {
    FakeTree tree;
    TtyLibrary lib;
    int master = posix_openpt(O_RDWR | O_NOCTTY);
    std::string slave;

    void SetUp() override
    {
        ASSERT_GE(master, 0);
        ASSERT_EQ(grantpt(master) | unlockpt(master), 0);
        slave = ptsname(master);
        tree.AddPort(0, "Kovaltrak WiFi", "0005000");
        fs::create_symlink(slave, tree.Node(0));
        ASSERT_EQ(lib.Count(), 1u);
    }
    void TearDown() override
    {
        if (master >= 0)
            close(master);
    }
    FT_HANDLE OpenPort()
    {
        FT_HANDLE h = nullptr;
        EXPECT_EQ(lib.d2xx->Open(0, &h), FT_OK);
        return h;
    }
};

} // namespace

TEST_F(PtyTest, IdentifiesAndReadsEveryBlockOfA305AndA403Tracker)
{
    for (int firmware : {305, 403}) {
        SCOPED_TRACE(firmware);
        TrackerPeer peer(master, firmware);
        UsbLink link;
        link.Bind(D2xxLibrary::LoadFile(PLENDORO_TTYUSB_LIBRARY));
        DeviceIdentity identity;
        std::string serial;
        ASSERT_TRUE(link.Identify(&serial));
        EXPECT_EQ(serial, "0005000");
        EXPECT_EQ(FakeTree::Read(tree.PortFolder(0) + "/latency_timer"), "1") << "the bridge's latency timer";
        link.SetConnected(true);
        ASSERT_TRUE(ReadVersions(link, identity));
        EXPECT_EQ(identity.firmwareVersion, firmware);
        EXPECT_EQ(identity.hardwareVersion, firmware == 403 ? 4 : kNoDeviceHardwareVersion);

        ASSERT_TRUE(link.Open());
        for (BlockId block : BlocksOf(firmware)) {
            SCOPED_TRACE(static_cast<int>(block));
            std::array<std::uint8_t, kPacketBufferSize> buffer{};
            std::string failure;
            const std::size_t size = BlockSize(block, firmware);
            ASSERT_TRUE(Transact(link, SystemClock::Instance(), buffer.data(), static_cast<std::uint16_t>(block), size,
                                 0, failure))
                << failure;
            const auto stored = peer.Stored(block);
            ASSERT_EQ(stored.size(), size);
            EXPECT_TRUE(std::equal(stored.begin(), stored.end(), buffer.begin() + kHeaderSize));
        }
        link.Close();
    }
}

TEST_F(PtyTest, OpensRawAndExclusiveAndCloseLetsGo)
{
    FT_HANDLE h = OpenPort();
    ASSERT_EQ(lib.d2xx->SetBaudRate(h, 460800), FT_OK);
    const int probe = open(slave.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    termios t{};
    ASSERT_EQ(tcgetattr(probe, &t), 0);
    EXPECT_EQ(t.c_lflag & (ECHO | ICANON | ISIG), 0u);
    EXPECT_EQ(t.c_iflag & (IXON | IXOFF | ICRNL), 0u);
    EXPECT_EQ(t.c_cflag & (CSIZE | PARENB | CSTOPB | CRTSCTS | HUPCL), tcflag_t(CS8));
    EXPECT_EQ(cfgetospeed(&t), speed_t(B460800));
    // A rate without a B constant goes through termios2 (BOTHER).
    ASSERT_EQ(lib.d2xx->SetBaudRate(h, 123456), FT_OK);
    ASSERT_EQ(tcgetattr(probe, &t), 0);
    EXPECT_EQ(t.c_cflag & CBAUD, tcflag_t(CBAUDEX));

    FT_HANDLE second = nullptr;
    EXPECT_EQ(lib.d2xx->Open(0, &second), kDeviceNotOpened) << "locked by the first handle";
    std::string path, holder;
    EXPECT_EQ(lib.Diagnosis(0, path, holder), 2);
    int exclusive = 0;
    ASSERT_EQ(ioctl(probe, TIOCGEXCL, &exclusive), 0);
    EXPECT_EQ(exclusive, 1) << "set by the first handle, left alone by the refused one";

    ASSERT_EQ(lib.d2xx->Close(h), FT_OK);
    ASSERT_EQ(ioctl(probe, TIOCGEXCL, &exclusive), 0);
    EXPECT_EQ(exclusive, 0) << "the flag outlives the descriptor unless cleared";
    close(probe);
    EXPECT_EQ(lib.d2xx->Close(h), FT_STATUS(1)) << "a closed handle is invalid";
    h = OpenPort();
    EXPECT_EQ(lib.Diagnosis(0, path, holder), 0);
    lib.d2xx->Close(h);
}

TEST_F(PtyTest, ASilentTrackerLeavesTheReadWithWhatArrived)
{
    FT_HANDLE h = OpenPort();
    ASSERT_EQ(lib.d2xx->SetTimeouts(h, 100, 100), FT_OK);
    ASSERT_EQ(write(master, "KV", 2), 2);
    DWORD queued = 0, unsent = 0, events = 0;
    for (int i = 0; i < 2000 && queued < 2; ++i) {
        ASSERT_EQ(lib.d2xx->GetStatus(h, &queued, &unsent, &events), FT_OK);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ASSERT_EQ(queued, 2u);
    char buffer[10] = {};
    DWORD got = 99;
    EXPECT_EQ(lib.d2xx->Read(h, buffer, sizeof buffer, &got), FT_OK);
    EXPECT_EQ(std::string(buffer, got), "KV");
    lib.d2xx->Close(h);
}

TEST_F(PtyTest, TheTrackerGoingAwayMidReadIsAnIoError)
{
    FT_HANDLE h = OpenPort();
    // Long enough that a read which misses the hang-up ends with FT_OK.
    ASSERT_EQ(lib.d2xx->SetTimeouts(h, 20000, 200), FT_OK);
    DWORD sent = 0;
    ASSERT_EQ(lib.d2xx->Write(h, "FL_READ_VERSION$", 16, &sent), FT_OK);
    ASSERT_EQ(sent, 16u);
    std::thread tracker([this] {
        char seen[16];
        ASSERT_EQ(read(master, seen, sizeof seen), 16);
        ASSERT_EQ(write(master, "KVT", 3), 3);
        close(std::exchange(master, -1));
    });
    char buffer[10] = {};
    DWORD got = 99;
    const FT_STATUS status = lib.d2xx->Read(h, buffer, sizeof buffer, &got);
    tracker.join();
    EXPECT_EQ(status, kIoError);
    EXPECT_LE(got, 3u);
    EXPECT_EQ(lib.d2xx->Read(h, buffer, sizeof buffer, &got), kIoError) << "and stays gone";
    EXPECT_EQ(lib.d2xx->Close(h), FT_OK);
}

TEST_F(PtyTest, APortHeldByAnotherProgramIsNamed)
{
    int ready[2], release[2];
    ASSERT_EQ(pipe(ready) | pipe(release), 0);
    const pid_t child = fork();
    if (child == 0) {
        close(release[1]);
        prctl(PR_SET_NAME, "minicom");
        const int fd = open(tree.Node(0).c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        char ok = fd >= 0 && flock(fd, LOCK_EX | LOCK_NB) == 0 ? 'y' : 'n';
        [[maybe_unused]] ssize_t n = write(ready[1], &ok, 1);
        n = read(release[0], &ok, 1); // until the test lets go
        _exit(0);
    }
    close(ready[1]);
    close(release[0]);
    char ok = 0;
    EXPECT_EQ(read(ready[0], &ok, 1), 1);
    FT_HANDLE h = nullptr;
    const FT_STATUS whileHeld = lib.d2xx->Open(0, &h);
    std::string path, holder;
    const int code = lib.Diagnosis(0, path, holder);
    close(release[1]);
    waitpid(child, nullptr, 0);

    ASSERT_EQ(ok, 'y');
    EXPECT_EQ(whileHeld, kDeviceNotOpened);
    EXPECT_EQ(code, 2);
    EXPECT_EQ(path, tree.Node(0));
    EXPECT_EQ(holder, "minicom");
    h = OpenPort();
    EXPECT_EQ(lib.Diagnosis(0, path, holder), 0) << "free again once the other program let go";
    lib.d2xx->Close(h);
}

// The tracker is unplugged and another device takes its node's name before
// the program lists again: the open by the old listing's index must not
// reach the stranger, so the presence check finds the tracker gone.
TEST_F(PtyTest, ANodeTakenByAnotherDeviceIsNotOpened)
{
    UsbLink link;
    link.Bind(D2xxLibrary::LoadFile(PLENDORO_TTYUSB_LIBRARY));
    ASSERT_TRUE(link.Identify(nullptr));
    link.SetConnected(true);

    const int foreign = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(foreign, 0);
    ASSERT_EQ(grantpt(foreign) | unlockpt(foreign), 0);
    const fs::path usb = fs::path(tree.PortFolder(0)).parent_path().parent_path();
    FakeTree::Write(usb / "product", "Foreign GSM modem\n");
    FakeTree::Write(usb / "serial", "356938035643809\n");
    fs::remove(tree.Node(0));
    fs::create_symlink(ptsname(foreign), tree.Node(0));

    EXPECT_FALSE(link.Open()) << "the presence check's open";
    const std::string request = "FL_READ_VERSION$";
    link.Write(reinterpret_cast<const std::uint8_t*>(request.data()), request.size());
    link.Close();
    pollfd p{foreign, POLLIN, 0};
    EXPECT_EQ(poll(&p, 1, 100), 0) << "the stranger received nothing";
    FT_HANDLE h = nullptr;
    EXPECT_EQ(lib.d2xx->Open(0, &h), kDeviceNotFound);
    EXPECT_FALSE(link.Identify(nullptr)) << "listed afresh, no tracker";
    close(foreign);
}
