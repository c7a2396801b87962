#include "link/UsbLink.h"

#include "FakeD2xx.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <thread>

using namespace plendoro;

namespace {

struct UsbLinkFixture : ::testing::Test {
    FakeClock clock;
    FakeD2xx* fake = nullptr;
    UsbLink link{clock};

    void SetUp() override
    {
        auto lib = std::make_unique<FakeD2xx>(clock);
        fake = lib.get();
        link.Bind(std::move(lib));
    }
    void Devices(std::initializer_list<FakeD2xx::Device> list) { fake->devices = list; }
    // Connected as the presence check leaves it after reading the version.
    void Connect(int index = 0)
    {
        link.SetDeviceIndex(index);
        link.SetConnected(true);
    }
    std::vector<std::string> ConfigCalls() const
    {
        std::vector<std::string> out;
        for (const auto& c : fake->calls)
            if (c.rfind("Set", 0) == 0 || c == "GetDeviceInfo")
                out.push_back(c);
        return out;
    }
};

} // namespace

TEST_F(UsbLinkFixture, IdentifyConfiguresTheTrackerAndClosesIt)
{
    Devices({{"Kovaltrak WiFi", "0005000"}});
    std::string serial;
    ASSERT_TRUE(link.Identify(&serial));
    EXPECT_EQ(serial, "0005000");
    EXPECT_EQ(link.DeviceIndex(), 0);
    EXPECT_EQ(ConfigCalls(),
              (std::vector<std::string>{"SetBaudRate 460800", "SetDataCharacteristics 8 0 0", "SetTimeouts 1000 200",
                                        "SetLatencyTimer 1", "SetFlowControl 0 0 0", "GetDeviceInfo"}));
    EXPECT_EQ(fake->openCount, 0);
    EXPECT_FALSE(link.HasHandle());
    EXPECT_FALSE(link.InUse());
    const auto& c = fake->calls;
    ASSERT_GE(c.size(), 2u);
    EXPECT_EQ(c[c.size() - 2], "ResetDevice");
    EXPECT_EQ(c.back(), "Close");
}

TEST_F(UsbLinkFixture, IdentifyChoosesByDescriptionPrefix)
{
    std::string serial;
    // Two trackers: the lower list index wins.
    Devices({{"Kovaltrak A", "111"}, {"Kovaltrak B", "222"}});
    ASSERT_TRUE(link.Identify(&serial));
    EXPECT_EQ(serial, "111");

    // A foreign FTDI device in front of the tracker.
    Devices({{"FT232R USB UART", "AB0"}, {"KovaltrakWiFi", "333"}});
    ASSERT_TRUE(link.Identify(&serial));
    EXPECT_EQ(link.DeviceIndex(), 1);
    EXPECT_EQ(serial, "333");

    // Letter case matters; no tracker resets the index.
    Devices({{"KOVALTRAK WiFi", "444"}, {"kovaltrak", "555"}});
    EXPECT_FALSE(link.Identify(&serial));
    EXPECT_EQ(link.DeviceIndex(), -1);

    // A description that cannot be fetched is skipped.
    Devices({{"Kovaltrak 1", "666"}, {"Kovaltrak 2", "777"}});
    fake->failDescriptionAt = 0;
    ASSERT_TRUE(link.Identify(&serial));
    EXPECT_EQ(serial, "777");
}

TEST_F(UsbLinkFixture, IdentifyFailures)
{
    std::string serial = "unchanged";
    Devices({{"Kovaltrak", "1"}});
    link.SetDeviceIndex(7);
    fake->failList = true;
    EXPECT_FALSE(link.Identify(&serial));
    EXPECT_EQ(link.DeviceIndex(), 7) << "a failed count leaves the index alone";
    fake->failList = false;

    fake->devices[0].openable = false;
    EXPECT_FALSE(link.Identify(&serial));
    EXPECT_EQ(link.DeviceIndex(), 0);
    EXPECT_EQ(fake->openCount, 0);
    fake->devices[0].openable = true;

    // A configuration step failing stops the sequence and closes the device.
    fake->calls.clear();
    fake->failConfig = "SetTimeouts";
    EXPECT_FALSE(link.Identify(&serial));
    EXPECT_EQ(serial, "unchanged");
    EXPECT_EQ(fake->openCount, 0);
    EXPECT_EQ(std::count(fake->calls.begin(), fake->calls.end(), "SetLatencyTimer 1"), 0);
    EXPECT_EQ(fake->calls.back(), "Close");
    EXPECT_FALSE(link.InUse());
}

TEST_F(UsbLinkFixture, OpenNeedsAConnectedDevice)
{
    Devices({{"Kovaltrak", "1"}});
    link.SetDeviceIndex(0);
    EXPECT_FALSE(link.Open());
    link.SetConnected(true);
    link.SetDeviceIndex(-1);
    EXPECT_FALSE(link.Open());
    EXPECT_EQ(fake->openCount, 0);

    link.SetDeviceIndex(0);
    ASSERT_TRUE(link.Open());
    EXPECT_TRUE(link.HasHandle());
    link.Close();
    EXPECT_FALSE(link.HasHandle());
    EXPECT_EQ(fake->openCount, 0);

    fake->devices[0].openable = false; // pulled out
    EXPECT_FALSE(link.Open());
    EXPECT_FALSE(link.InUse());
}

TEST_F(UsbLinkFixture, OnlyOneExchangeHoldsTheDevice)
{
    Devices({{"Kovaltrak", "1"}});
    Connect();
    ASSERT_TRUE(link.Open());
    EXPECT_TRUE(link.InUse());

    std::atomic<bool> otherOpened{true};
    std::thread other([&] { otherOpened = link.Open(); });
    other.join();
    EXPECT_FALSE(otherOpened);
    EXPECT_FALSE(link.Open()) << "not even the same thread may open twice";
    std::string serial;
    EXPECT_FALSE(link.Identify(&serial));
    EXPECT_EQ(fake->openCount, 1);

    link.Close();
    EXPECT_FALSE(link.InUse());
    std::thread again([&] {
        otherOpened = link.Open();
        link.Close();
    });
    again.join();
    EXPECT_TRUE(otherOpened);
}

TEST_F(UsbLinkFixture, WriteAndReadWithoutHandleDoNothing)
{
    Devices({{"Kovaltrak", "1"}});
    const std::uint8_t bytes[] = {1, 2, 3};
    link.Write(bytes, 3);
    EXPECT_TRUE(fake->written.empty());
    std::uint8_t buf[8] = {9, 9, 9, 9, 9, 9, 9, 9};
    EXPECT_EQ(link.Read(buf, 8), 0u);
    EXPECT_EQ(link.ReadTimed(buf, 8, 200), 0u);
}

TEST_F(UsbLinkFixture, ReadTimedTakesTheReplyATenthAfterItBegins)
{
    Devices({{"Kovaltrak", "1"}});
    Connect();
    ASSERT_TRUE(link.Open());
    const std::uint64_t start = clock.now;
    fake->Arrive(start + 45, "KVTW-");
    fake->Arrive(start + 62, "4.03");
    fake->Arrive(start + 85, "LATE"); // after the second look: stays queued
    std::uint8_t buf[101];
    std::fill(std::begin(buf), std::end(buf), 0xEE);
    const std::size_t got = link.ReadTimed(buf, 100, 200);
    ASSERT_EQ(got, 9u);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buf)), "KVTW-4.03");
    EXPECT_EQ(buf[99], 0) << "the buffer is cleared up to its capacity";
    EXPECT_EQ(buf[100], 0xEE);
    // Paced by a tenth of the timeout: first seen at +60, read at +80.
    EXPECT_EQ(clock.now, start + 80);
    EXPECT_EQ(fake->rx.size(), 4u);
    link.Close();
}

TEST_F(UsbLinkFixture, ReadTimedRefusesAnOverlongReply)
{
    Devices({{"Kovaltrak", "1"}});
    Connect();
    ASSERT_TRUE(link.Open());
    fake->Arrive(clock.now, std::string(101, 'x'));
    std::uint8_t buf[100];
    EXPECT_EQ(link.ReadTimed(buf, 100, 200), 0u);
    EXPECT_EQ(fake->rx.size(), 101u) << "the reply stays queued";
    EXPECT_EQ(std::count_if(fake->calls.begin(), fake->calls.end(),
                            [](const std::string& c) { return c.rfind("Read", 0) == 0; }),
              0);

    // Exactly the capacity is fine.
    fake->rx.clear();
    fake->Arrive(clock.now, std::string(100, 'y'));
    EXPECT_EQ(link.ReadTimed(buf, 100, 200), 100u);
    link.Close();
}

TEST_F(UsbLinkFixture, ReadTimedGivesUpAfterTheTimeout)
{
    Devices({{"Kovaltrak", "1"}});
    Connect();
    ASSERT_TRUE(link.Open());
    const std::uint64_t start = clock.now;
    fake->Arrive(start + 500, "too late");
    std::uint8_t buf[30];
    EXPECT_EQ(link.ReadTimed(buf, 30, 100), 0u);
    EXPECT_GT(clock.now, start + 100);
    EXPECT_LE(clock.now, start + 110);
    EXPECT_EQ(fake->statusQueries, 11);
    link.Close();
}

TEST(UsbLinkBindTest, MissingOrIncompleteLibraryFailsCleanly)
{
    std::string error;
    EXPECT_EQ(D2xxLibrary::LoadFile("/nonexistent/libftd2xx.so", &error), nullptr);
    EXPECT_FALSE(error.empty());

    error.clear();
    EXPECT_EQ(D2xxLibrary::LoadFile(PLENDORO_INCOMPLETE_D2XX, &error), nullptr);
    EXPECT_NE(error.find("FT_SetLatencyTimer"), std::string::npos) << error;

    setenv("PLENDORO_D2XX_LIBRARY", "/nonexistent/lib.so", 1);
    UsbLink link;
    EXPECT_FALSE(link.Bind());
    EXPECT_FALSE(link.IsBound());
    unsetenv("PLENDORO_D2XX_LIBRARY");
}
