// The gate every device command of one tracker passes.
#include "services/core/CommandGate.h"

#include <gtest/gtest.h>

using namespace plendoro;

TEST(CommandGateTest, OneHolderWhoseTicketAloneEndsIt)
{
    CommandGate gate;
    const CommandGate::Ticket read = gate.Begin(DeviceCommand::Read);
    ASSERT_NE(read, CommandGate::kRefused);
    for (DeviceCommand other : {DeviceCommand::Write, DeviceCommand::Clear, DeviceCommand::CanSearch,
                                DeviceCommand::OneWireDialog, DeviceCommand::Read})
        EXPECT_EQ(gate.Begin(other), CommandGate::kRefused);
    EXPECT_FALSE(gate.End(CommandGate::kRefused));
    EXPECT_FALSE(gate.End(read + 1)) << "no other ticket ends the read";
    EXPECT_EQ(gate.Holder(), DeviceCommand::Read);
    EXPECT_TRUE(gate.End(read));
    EXPECT_FALSE(gate.End(read)) << "a ticket ends its command once";
    EXPECT_FALSE(gate.Busy());
    const CommandGate::Ticket write = gate.Begin(DeviceCommand::Write);
    EXPECT_NE(write, read) << "an old ticket never ends a later command";
    EXPECT_FALSE(gate.End(read));
    EXPECT_TRUE(gate.End(write));
}

TEST(CommandGateTest, APresenceCheckWaitsInLineOnce)
{
    CommandGate gate;
    const CommandGate::Ticket clear = gate.Begin(DeviceCommand::Clear);
    EXPECT_EQ(gate.Begin(DeviceCommand::Presence), CommandGate::kRefused);
    EXPECT_EQ(gate.Begin(DeviceCommand::Presence), CommandGate::kRefused);
    EXPECT_TRUE(gate.PresenceDue());
    EXPECT_FALSE(gate.Begin(DeviceCommand::Read) != CommandGate::kRefused);
    gate.End(clear);
    EXPECT_TRUE(gate.TakePresenceDue());
    EXPECT_FALSE(gate.TakePresenceDue()) << "the notifications meanwhile make one check";
    const CommandGate::Ticket presence = gate.Begin(DeviceCommand::Presence);
    EXPECT_NE(presence, CommandGate::kRefused);
    EXPECT_FALSE(gate.PresenceDue());
}
