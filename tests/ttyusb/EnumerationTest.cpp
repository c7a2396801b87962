// Which ports the kernel-driver library lists, in which order, and what it
// says when a listed port does not open.
#include "Diagnose.h"
#include "TtyFixture.h"
#include "link/UsbLink.h"

#include <cerrno>

using namespace ttytest;

TEST(TtyEnumerationTest, TrackersAndForeignCablesByPortNumber)
{
    FakeTree tree;
    TtyLibrary lib;
    tree.AddPort(10, "Kovaltrak WiFi", "0005000");
    tree.AddPort(2, "FT232R USB UART", "A50285BI");
    tree.AddPort(3, nullptr, "FTX1");
    tree.AddPort(5, "Kovaltrak WiFi", "0005001", true);

    ASSERT_EQ(lib.Count(), 3u) << "the vanished port is left out";
    EXPECT_EQ(lib.Description(0), "FT232R USB UART");
    EXPECT_EQ(lib.Description(1), "") << "no product string";
    EXPECT_EQ(lib.Description(2), "Kovaltrak WiFi");
    EXPECT_EQ(lib.Description(3), "status 2");
    EXPECT_EQ(lib.Serial(0), "A50285BI");
    EXPECT_EQ(lib.Serial(2), "0005000");

    // Plugged in after the listing: an index keeps its port until the next.
    tree.AddPort(1, "FT232R USB UART", "A50285BJ");
    EXPECT_EQ(lib.Description(2), "Kovaltrak WiFi");
    // The tracker's node is missing (unplugged after the listing): "not
    // found", and nothing to diagnose.
    plendoro::UsbLink link;
    link.Bind(plendoro::D2xxLibrary::LoadFile(PLENDORO_TTYUSB_LIBRARY));
    EXPECT_FALSE(link.Identify(nullptr));
    EXPECT_EQ(link.DeviceIndex(), 3);
    FT_HANDLE h = nullptr;
    std::string path, holder;
    EXPECT_EQ(lib.d2xx->Open(3, &h), kDeviceNotFound);
    EXPECT_EQ(lib.Diagnosis(3, path, holder), 0);
    EXPECT_EQ(path, tree.Node(10));
    EXPECT_EQ(lib.d2xx->Open(4, &h), kDeviceNotFound);
    EXPECT_EQ(lib.Diagnosis(4, path, holder), 0);
    EXPECT_EQ(path, "") << "no such port, no node";
}

TEST(TtyEnumerationTest, TenPortsInNumericOrder)
{
    FakeTree tree;
    TtyLibrary lib;
    for (unsigned n : {7u, 10u, 1u, 11u, 2u, 9u, 0u, 12u, 3u, 8u})
        tree.AddPort(n, ("Port " + std::to_string(n)).c_str(), "S");
    ASSERT_EQ(lib.Count(), 10u);
    std::vector<std::string> order;
    for (DWORD i = 0; i < 10; ++i)
        order.push_back(lib.Description(i));
    EXPECT_EQ(order, (std::vector<std::string>{"Port 0", "Port 1", "Port 2", "Port 3", "Port 7", "Port 8", "Port 9",
                                               "Port 10", "Port 11", "Port 12"}));
}

// The decision behind PlendoroTtyDiagnose, driven with the errno a failed
// open leaves (permission cannot be denied to the root the tests run as).
TEST(TtyDiagnoseTest, ReasonsAndTheHoldingProcess)
{
    using namespace plendoro::ttyusb;
    FakeTree tree;
    const std::string real = tree.root + "/pts-3";
    FakeTree::Write(real, "");
    fs::create_symlink(real, tree.Node(0));
    const fs::path proc = tree.root + "/proc";
    for (auto [pid, comm, target] : {std::tuple{"12", "bash\n", "/dev/null"}, {"345", "minicom\n", real.c_str()}}) {
        fs::create_directories(proc / pid / "fd");
        FakeTree::Write(proc / pid / "comm", comm);
        fs::create_symlink(target, proc / pid / "fd" / "4");
    }

    for (int error : {EACCES, EPERM}) {
        const Diagnosis d = DiagnoseOpenFailure(error, tree.Node(0), proc.string());
        EXPECT_EQ(d.code, kNoPermission) << error;
        EXPECT_EQ(d.holder, "");
    }
    for (int error : {EBUSY, EWOULDBLOCK}) {
        const Diagnosis d = DiagnoseOpenFailure(error, tree.Node(0), proc.string());
        EXPECT_EQ(d.code, kHeldByAnother) << error;
        EXPECT_EQ(d.holder, "minicom") << "found through the node's link, without the line end";
    }
    for (int error : {0, ENOENT, EIO, ENOTTY})
        EXPECT_EQ(DiagnoseOpenFailure(error, tree.Node(0), proc.string()).code, kNothingToSay) << error;

    // Held, but by no process we can see.
    fs::remove(proc / "345" / "fd" / "4");
    EXPECT_EQ(DiagnoseOpenFailure(EBUSY, tree.Node(0), proc.string()).holder, "");
}
