#include "link/TextExchange.h"

#include "ScriptedLink.h"

#include <gtest/gtest.h>

#include <string>

using namespace plendoro;

namespace {
ScriptedLink::Bytes B(const std::string& s)
{
    return ScriptedLink::Bytes(s.begin(), s.end());
}
std::string S(const std::uint8_t* p, std::size_t n)
{
    return std::string(reinterpret_cast<const char*>(p), n);
}
} // namespace

TEST(ReadTimedUntilTest, CollectsALongReplyToItsTerminator)
{
    ScriptedLink link;
    link.Queue(B("CAN_STATE:00000001,00000002,"));
    link.Queue(B("00000003,00000004,"));
    link.Queue(B("00000005,00000006;"));
    link.Queue(B("NEXT")); // another reply: not taken
    std::uint8_t buf[201];
    const std::size_t n = ReadTimedUntil(link, buf, 200, 200, ';');
    EXPECT_EQ(S(buf, n), "CAN_STATE:00000001,00000002,00000003,00000004,00000005,00000006;");
    EXPECT_EQ(buf[n], 0);
    EXPECT_EQ(link.chunks.size(), 1u);
}

TEST(ReadTimedUntilTest, StopsAtAPauseOrAFullBuffer)
{
    ScriptedLink quiet;
    quiet.Queue(B("CAN_STATE:0000"));
    quiet.QueueSilence();
    quiet.Queue(B("late;"));
    std::uint8_t buf[64];
    EXPECT_EQ(S(buf, ReadTimedUntil(quiet, buf, 63, 200, ';')), "CAN_STATE:0000");

    // A piece that would overflow what is left is refused, as a timed read
    // refuses it; nothing past the capacity is ever written.
    ScriptedLink full;
    full.Queue(B("0123456789"));
    full.Queue(B("0123456789"));
    std::uint8_t small[16];
    EXPECT_EQ(S(small, ReadTimedUntil(full, small, 15, 200, ';')), "0123456789");

    ScriptedLink none;
    EXPECT_EQ(ReadTimedUntil(none, buf, 63, 200, ';'), 0u);
    EXPECT_EQ(none.reads, 1) << "no reply: no second look";
}
