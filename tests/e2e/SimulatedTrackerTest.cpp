// The link layer against the simulated tracker, bound through the dynamic
// loader exactly as the vendor's library is.
#include "link/Identification.h"
#include "link/Protocol.h"
#include "link/UsbLink.h"
#include "model/Blocks.h"
#include "plendoro_sim.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <vector>

using namespace plendoro;
using Bytes = std::vector<std::uint8_t>;

namespace {

Bytes Stored(int block)
{
    Bytes b(1024);
    const int n = PlSim_GetBlock(0, block, b.data(), static_cast<int>(b.size()));
    b.resize(n < 0 ? 0 : static_cast<std::size_t>(n));
    return b;
}

struct SimFixture : ::testing::Test {
    UsbLink link;
    DeviceIdentity identity;
    std::array<std::uint8_t, kPacketBufferSize> buffer{};
    std::string failure;

    void SetUp() override
    {
        setenv("PLENDORO_D2XX_LIBRARY", PLENDORO_SIM_LIBRARY, 1);
        PlSim_Reset();
        std::string error;
        ASSERT_TRUE(link.Bind(&error)) << error;
    }
    void TearDown() override { link.Close(); }

    // What the presence check does before any exchange.
    void Connect()
    {
        std::string serial;
        ASSERT_TRUE(link.Identify(&serial));
        ApplySerial(identity, serial);
        link.SetConnected(true);
        ASSERT_TRUE(ReadVersions(link, identity));
    }
    bool Read(std::uint16_t id, std::size_t size)
    {
        return Transact(link, SystemClock::Instance(), buffer.data(), id, size, 0, failure);
    }
    bool Write(std::uint16_t block, const Bytes& data)
    {
        std::copy(data.begin(), data.end(), buffer.begin() + kHeaderSize);
        return Transact(link, SystemClock::Instance(), buffer.data(), static_cast<std::uint16_t>(kWriteIdBase + block),
                        0, data.size(), failure);
    }
};

} // namespace

TEST_F(SimFixture, IdentifiesTheDefaultTracker)
{
    Connect();
    EXPECT_EQ(identity.serialText, "0005000");
    EXPECT_EQ(FormatMac(identity.mac), "00:50:26:00:13:88");
    EXPECT_EQ(identity.firmwareVersion, 403);
    EXPECT_EQ(FormatFirmware(identity.firmwareMajor, identity.firmwareMinor), "4.03");
    EXPECT_TRUE(identity.hardwareVersionRead);
    EXPECT_EQ(identity.hardwareVersion, 4);
}

TEST_F(SimFixture, EveryBlockOfEveryGenerationReadsAndWrites)
{
    for (int firmware : {250, 304, 305, 403}) {
        SCOPED_TRACE(firmware);
        PlSim_Reset();
        ASSERT_EQ(PlSim_SetVersions(0, firmware, 3), 0);
        link.SetConnected(false);
        identity = DeviceIdentity{};
        Connect();
        ASSERT_EQ(identity.firmwareVersion, firmware);
        EXPECT_EQ(identity.hardwareVersionRead, ReadsHardwareVersion(firmware));

        ASSERT_TRUE(link.Open());
        for (BlockId block : BlocksOf(firmware)) {
            const auto number = static_cast<std::uint16_t>(block);
            const std::size_t size = BlockSize(block, firmware);
            SCOPED_TRACE(number);
            ASSERT_TRUE(Read(number, size)) << failure;
            const Bytes stored = Stored(number);
            ASSERT_EQ(stored.size(), size);
            EXPECT_TRUE(std::equal(stored.begin(), stored.end(), buffer.begin() + kHeaderSize));

            Bytes changed(size);
            for (std::size_t i = 0; i < size; ++i)
                changed[i] = static_cast<std::uint8_t>(i * 7 + number + firmware);
            ASSERT_TRUE(Write(number, changed)) << failure;
            EXPECT_EQ(Stored(number), changed);
        }
        // Blocks the generation lacks are refused by the device.
        if (!HasOneWireBlock(firmware)) {
            EXPECT_FALSE(Read(6, 476));
            EXPECT_EQ(failure.rfind("Запрос Id=6 ошибка: ", 0), 0u) << failure;
        }
        link.Close();
    }
}

TEST_F(SimFixture, DeviceErrorAndRecoveries)
{
    Connect();
    ASSERT_TRUE(link.Open());

    ASSERT_EQ(PlSim_SetFault(0, "error_block 5 5"), 0);
    EXPECT_FALSE(Write(5, Bytes(214, 1)));
    EXPECT_EQ(failure, "Запрос Id=133 ошибка: Ошибка при сохранении параметров");
    EXPECT_TRUE(Read(0, 9)) << failure;

    // A size the generation does not have is a length error.
    PlSim_SetFault(0, "none");
    EXPECT_FALSE(Write(1, Bytes(111, 0)));
    EXPECT_EQ(failure, "Запрос Id=129 ошибка: Ошибка длинны");

    // Two lost requests cost two attempts, then the reply comes.
    ASSERT_EQ(PlSim_SetFault(0, "silent 2"), 0);
    PlSim_ClearLog(0);
    EXPECT_TRUE(Read(2, 72)) << failure;
    EXPECT_EQ(PlSim_RequestCount(0), 3);

    PlSim_SetFault(0, "none");
    ASSERT_EQ(PlSim_SetFault(0, "bad_checksum"), 0);
    EXPECT_FALSE(Read(3, 20));
    EXPECT_EQ(failure, "Неверный ответ прибора.");
}

TEST_F(SimFixture, SilentDeviceCostsEightAttempts)
{
    Connect();
    ASSERT_TRUE(link.Open());
    ASSERT_EQ(PlSim_SetFault(0, "silent"), 0);
    PlSim_ClearLog(0);
    EXPECT_FALSE(Read(0, 9));
    EXPECT_EQ(failure, "Ошибка при считывании параметров.");
    EXPECT_EQ(PlSim_RequestCount(0), 8);
}

TEST_F(SimFixture, UnpluggedTrackerCannotBeOpened)
{
    Connect();
    ASSERT_EQ(PlSim_Unplug(0), 0);
    EXPECT_FALSE(link.Open());
    std::string serial;
    EXPECT_FALSE(link.Identify(&serial));
    EXPECT_EQ(link.DeviceIndex(), -1);
    ASSERT_EQ(PlSim_Plug(0), 0);
    EXPECT_TRUE(link.Identify(&serial));
}
