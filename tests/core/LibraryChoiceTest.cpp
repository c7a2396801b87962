#include "link/LibraryChoice.h"
#include "link/D2xx.h"
#include "link/UsbLink.h"

#include "FakeClock.h"
#include "FakeD2xx.h"
#include "FakeSysfs.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>

using namespace plendoro;
namespace fs = std::filesystem;

TEST(LibraryChoice, TheKernelHoldsATrackerOnlyWhenFtdiSioHasOneNamedSo)
{
    FakeTree tree;
    EXPECT_FALSE(TrackerOnKernelDriver(tree.Sysfs(), "Kovaltrak")) << "no ports";
    EXPECT_FALSE(TrackerOnKernelDriver(tree.root + "/missing", "Kovaltrak"));

    tree.AddPort(0, "FT232R USB UART", "A1");
    tree.AddPort(1, nullptr, "A2");
    tree.AddPort(2, "Kovaltrak WiFi", "0005000", false, "pl2303");
    tree.AddPort(3, "Kovaltrak WiFi", "0005001", true);
    EXPECT_FALSE(TrackerOnKernelDriver(tree.Sysfs(), "Kovaltrak"))
        << "a foreign cable, a nameless one, another driver, a vanished port";

    tree.AddPort(4, "Kovaltrak WiFi", "0005002");
    EXPECT_TRUE(TrackerOnKernelDriver(tree.Sysfs(), "Kovaltrak"));
    EXPECT_FALSE(TrackerOnKernelDriver(tree.Sysfs(), "kovaltrak")) << "the prefix compares byte for byte";
}

TEST(LibraryChoice, OrderFollowsWhoHoldsTheTracker)
{
    const std::vector<std::string> ours = KernelDriverLibraryFiles("/opt/plendoro/bin/");
    ASSERT_EQ(ours.size(), 2u);
    EXPECT_EQ(ours[0], "/opt/plendoro/bin/libplendoro_ttyusb.so");
    EXPECT_EQ(ours[1], "/opt/plendoro/lib/plendoro/libplendoro_ttyusb.so");

    EXPECT_EQ(LibraryCandidates("/x/libd2xx.so", true, ours), std::vector<std::string>{"/x/libd2xx.so"})
        << "an explicit library is the only one tried";
    EXPECT_EQ(LibraryCandidates("", false, ours), (std::vector<std::string>{"libftd2xx.so", ours[0], ours[1]}));
    EXPECT_EQ(LibraryCandidates("", true, ours), (std::vector<std::string>{ours[0], ours[1], "libftd2xx.so"}));
}

TEST(LibraryChoice, TheFirstLibraryWithAllEntryPointsWins)
{
    std::string error;
    auto lib = D2xxLibrary::LoadFirst(
        {"/nonexistent/libftd2xx.so", PLENDORO_INCOMPLETE_D2XX, PLENDORO_CLOSED_D2XX, PLENDORO_SIM_LIBRARY}, &error);
    ASSERT_NE(lib, nullptr);
    EXPECT_EQ(lib->File(), PLENDORO_CLOSED_D2XX) << "binding, not opening, decides";
    // Neither the vendor's nor the simulated tracker says why an open failed.
    EXPECT_EQ(lib->DiagnoseOpen(0).kind, OpenFailure::Kind::None);

    EXPECT_EQ(D2xxLibrary::LoadFirst({"/nonexistent/a.so", PLENDORO_INCOMPLETE_D2XX}, &error), nullptr);
    EXPECT_NE(error.find("/nonexistent/a.so: "), std::string::npos) << error;
    EXPECT_NE(error.find("missing entry point FT_SetLatencyTimer"), std::string::npos) << error;
}

TEST(LibraryChoice, AnExplicitLibraryThatFailsIsAFailure)
{
    // Our library lies beside the program and would bind; the named one wins
    // or nothing does.
    FakeTree program;
    fs::create_symlink(PLENDORO_CLOSED_D2XX, program.root + "/libplendoro_ttyusb.so");
    const std::string folder = program.root + "/";
    setenv("PLENDORO_D2XX_LIBRARY", PLENDORO_INCOMPLETE_D2XX, 1);
    std::string error;
    EXPECT_EQ(D2xxLibrary::Load(folder, "Kovaltrak", &error), nullptr);
    unsetenv("PLENDORO_D2XX_LIBRARY");

    auto lib = D2xxLibrary::Load(folder, "Kovaltrak", &error);
    ASSERT_NE(lib, nullptr) << error;
    // Here no vendor library is installed, so ours binds whatever the order.
    EXPECT_EQ(lib->File(), folder + "libplendoro_ttyusb.so");
}

TEST(LibraryChoice, TheLinkKeepsWhyTheListedTrackerDidNotOpen)
{
    FakeClock clock;
    auto fake = std::make_unique<FakeD2xx>(clock);
    fake->devices.push_back({"Kovaltrak WiFi", "0005000", false});
    fake->openFailure = {OpenFailure::Kind::Busy, "/dev/ttyUSB0", "minicom"};
    FakeD2xx* lib = fake.get();
    UsbLink link(clock);
    link.Bind(std::move(fake));
    EXPECT_FALSE(link.Identify(nullptr));
    EXPECT_EQ(link.LastOpenFailure().kind, OpenFailure::Kind::Busy);
    EXPECT_EQ(link.LastOpenFailure().holder, "minicom");

    lib->devices[0].openable = true;
    std::string serial;
    EXPECT_TRUE(link.Identify(&serial));
    EXPECT_EQ(link.LastOpenFailure().kind, OpenFailure::Kind::None) << "an open clears it";
}
