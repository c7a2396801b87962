// Reading the tracker's report of the identifiers it heard on the CAN bus.
#include "services/core/CanState.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

using namespace plendoro;

namespace {

std::string Record(std::uint32_t id, std::uint32_t a, std::uint32_t b)
{
    char text[32];
    std::snprintf(text, sizeof text, "%08X,%08X,%08X", unsigned(id), unsigned(a), unsigned(b));
    return text;
}

} // namespace

TEST(CanStateTest, ReadsEveryRecordUpToTheClosingSemicolon)
{
    const auto r = ParseCanState("CAN_STATE:18FEF100,FFFF2A00,C3FFFFFF,0CF00400,00000000,0000007D;");
    ASSERT_TRUE(r);
    ASSERT_EQ(r->size(), 2u);
    EXPECT_EQ((*r)[0], (CanStateRecord{0x18FEF100, 0xFFFF2A00, 0xC3FFFFFF}));
    EXPECT_EQ((*r)[1], (CanStateRecord{0x0CF00400, 0x00000000, 0x0000007D}));

    // Short numbers read as the device's pattern reads them; the cursor
    // moves by separators.
    const auto shortNumbers = ParseCanState("CAN_STATE:1,2,3,a,b,c;");
    ASSERT_TRUE(shortNumbers);
    ASSERT_EQ(shortNumbers->size(), 2u);
    EXPECT_EQ((*shortNumbers)[1], (CanStateRecord{0xA, 0xB, 0xC}));

    // Nothing after the closing ';' is read.
    const auto closed = ParseCanState("CAN_STATE:;0CF00400,00000000,0000007D;");
    ASSERT_TRUE(closed);
    EXPECT_TRUE(closed->empty());
}

TEST(CanStateTest, RepliesThatAreNotAReportAreIgnored)
{
    EXPECT_FALSE(ParseCanState(""));
    EXPECT_FALSE(ParseCanState("CAN_STATE"));
    EXPECT_FALSE(ParseCanState("SEARCH_STARTED"));
    EXPECT_FALSE(ParseCanState(std::string_view("\0AN_STATE:;", 11)));
    const auto bare = ParseCanState("CAN_STATE:");
    ASSERT_TRUE(bare);
    EXPECT_TRUE(bare->empty());
}

TEST(CanStateTest, StopsAtTheFirstMalformedRecord)
{
    for (const char* reply : {"CAN_STATE:18FEF1G0,FFFF2A00,C3FFFFFF;", "CAN_STATE:18FEF100,FFFF2A00;",
                              "CAN_STATE:18FEF100;FFFF2A00,C3FFFFFF;", "CAN_STATE:118FEF100,FFFF2A00,C3FFFFFF;",
                              "CAN_STATE:,18FEF100,FFFF2A00,C3FFFFFF;"}) {
        const auto r = ParseCanState(reply);
        ASSERT_TRUE(r) << reply;
        EXPECT_TRUE(r->empty()) << reply;
    }
    const auto r = ParseCanState("CAN_STATE:18FEF100,FFFF2A00,C3FFFFFF,0CF0040X,00000000,0000007D,"
                                 "18FEFC17,FFFF5A00,FFFFFFFF;");
    ASSERT_TRUE(r);
    ASSERT_EQ(r->size(), 1u);
    EXPECT_EQ((*r)[0].Id, 0x18FEF100u);
}

TEST(CanStateTest, AReplyWithoutItsSemicolonKeepsItsWholeRecords)
{
    const auto whole = ParseCanState("CAN_STATE:18FEF100,FFFF2A00,C3FFFFFF");
    ASSERT_TRUE(whole);
    ASSERT_EQ(whole->size(), 1u);
    EXPECT_EQ((*whole)[0].dB, 0xC3FFFFFFu);

    // Cut inside the last number: that record may have lost digits.
    const auto cut = ParseCanState("CAN_STATE:18FEF100,FFFF2A00,C3FFFFFF,0CF00400,00000000,0000");
    ASSERT_TRUE(cut);
    ASSERT_EQ(cut->size(), 1u);
    const auto cutAfterComma = ParseCanState("CAN_STATE:18FEF100,FFFF2A00,C3FFFFFF,");
    ASSERT_TRUE(cutAfterComma);
    EXPECT_EQ(cutAfterComma->size(), 1u);
}

TEST(CanStateTest, AFullBufferIsReadOnlyAsFarAsItWasReceived)
{
    // 185 records would need 5005 bytes; the 5000 received end four digits
    // into the last record's third number. The bytes after them hold the
    // rest of that number, so reading on would take the record.
    std::string text = "CAN_STATE:";
    for (std::uint32_t i = 0; i < 185; ++i)
        text += (i ? "," : "") + Record(0x18FF0000 + i, i, 0xABCD0000 + i);
    text += ";";
    ASSERT_GT(text.size(), kCanStateReplyCapacity);
    const std::string_view received(text.data(), kCanStateReplyCapacity);

    const auto r = ParseCanState(received);
    ASSERT_TRUE(r);
    ASSERT_EQ(r->size(), 184u);
    EXPECT_EQ(r->front(), (CanStateRecord{0x18FF0000, 0, 0xABCD0000}));
    EXPECT_EQ(r->back(), (CanStateRecord{0x18FF0000 + 183, 183, 0xABCD0000 + 183}));
}
