#include "model/IpAddress.h"
#include "model/OneWireAddress.h"
#include "model/TextNumbers.h"

#include <gtest/gtest.h>

#include <climits>

using namespace plendoro;

namespace {

TEST(ModelIpAddress, ParsesInStorageOrder)
{
    EXPECT_EQ(ParseIpAddress("192.168.0.2"), 0x0200A8C0u);
    EXPECT_EQ(ParseIpAddress("10.0.255.1"), 0x01FF000Au);
    EXPECT_EQ(ParseIpAddress("255.255.255.254"), 0xFEFFFFFFu);
    EXPECT_EQ(ParseIpAddress("0.0.0.0"), 0u);
}

TEST(ModelIpAddress, ParseReadsLikeScanf)
{
    EXPECT_EQ(ParseIpAddress(" 1. 2.\t3. 4"), 0x04030201u);
    EXPECT_EQ(ParseIpAddress("+1.2.3.4"), 0x04030201u);
    EXPECT_EQ(ParseIpAddress("-0.2.3.4"), 0x04030200u);
    EXPECT_EQ(ParseIpAddress("1.2.3.4 junk"), 0x04030201u);
    EXPECT_EQ(ParseIpAddress("1.2.3.4.5"), 0x04030201u);
    EXPECT_EQ(ParseIpAddress("001.002.003.004"), 0x04030201u);
}

TEST(ModelIpAddress, ParseRefusals)
{
    for (const char* text : {"", "1.2.3", "1.2.3.255", "256.1.1.1", "1.2.3.-1", "1 .2.3.4", "1..2.3", "a.b.c.d",
                             "1.2.3.+", "4294967297.1.1.1", "1.2.3.4            x"})
        EXPECT_EQ(ParseIpAddress(text), kUnparsedIpAddress) << text;
    // Nineteen characters still parse; twenty do not, whatever they hold.
    EXPECT_EQ(ParseIpAddress("1.2.3.4            "), 0x04030201u);
    EXPECT_EQ(ParseIpAddress("0000001.2.3.4000000"), kUnparsedIpAddress);
    EXPECT_EQ(ParseIpAddress("00000001.2.3.000004"), 0x04030201u);
}

TEST(ModelIpAddress, FormatsFourBytesInStorageOrder)
{
    EXPECT_EQ(FormatIpAddress(0x0200A8C0u), "192.168.0.2");
    EXPECT_EQ(FormatIpAddress(kUnparsedIpAddress), "255.255.255.255");
    EXPECT_EQ(FormatIpAddress(0), "0.0.0.0");
}

TEST(ModelIpAddress, TextCheckBeforeWriting)
{
    for (const char* good : {"192.168.0.100", "010.1.1.1", "1.0.0.0", "255.255.255.255", "1.2.3.004"})
        EXPECT_TRUE(IsIpAddressText(good)) << good;
    for (const char* bad : {"0.1.2.3", "1.2.3", "1.2.3.4.5", "256.1.1.1", "1.2.3.256", " 1.2.3.4", "1.2.3.4 ",
                            "1.2 .3.4", "1..2.3", "1.2.3.", "1.2.3.0001", "1.2.3.+4", "", "000.1.1.1"})
        EXPECT_FALSE(IsIpAddressText(bad)) << bad;
}

TEST(ModelTextNumbers, DecimalReading)
{
    EXPECT_EQ(ReadDecimal("60", 5), 60);
    EXPECT_EQ(ReadDecimal("007", 5), 7);
    EXPECT_EQ(ReadDecimal("+7", 5), 7);
    EXPECT_EQ(ReadDecimal("-7", 5), -7);
    EXPECT_EQ(ReadDecimal("2147483647", 5), INT_MAX);
    EXPECT_EQ(ReadDecimal("-2147483648", 5), INT_MIN);
    for (const char* text : {"", "-", "+", " 7", "7 ", "7a", "0x10", "$10", "1e3", "2147483648", "-2147483649",
                             "99999999999999999999", "٣"})
        EXPECT_EQ(ReadDecimal(text, 5), 5) << text;
}

TEST(ModelTextNumbers, RangeReading)
{
    EXPECT_TRUE(IsIntInRange("0", 30, true, 3600));
    EXPECT_FALSE(IsIntInRange("29", 30, true, 3600));
    EXPECT_TRUE(IsIntInRange("30", 30, true, 3600));
    EXPECT_TRUE(IsIntInRange("3600", 30, true, 3600));
    EXPECT_FALSE(IsIntInRange("3601", 30, true, 3600));
    EXPECT_TRUE(IsIntInRange("0", 0, false, 3600));
    EXPECT_FALSE(IsIntInRange("0", 1, false, 60));
    EXPECT_TRUE(IsIntInRange("16", 1, false, 16));
    EXPECT_FALSE(IsIntInRange("17", 1, false, 16));
    EXPECT_FALSE(IsIntInRange("", 0, true, 3600));
    EXPECT_FALSE(IsIntInRange("abc", 0, true, 3600));
    // A negative number is refused even when the minimum would admit it.
    EXPECT_FALSE(IsIntInRange("-1", -5, true, 5));
}

TEST(ModelOneWireAddress, TextFormIsByteSevenFirst)
{
    const OneWireAddress a{0x28, 0xAA, 0x00, 0x00, 0x01, 0x02, 0x03, 0xC4};
    EXPECT_EQ(AddressToText(a), "C40302010000AA28");
    OneWireAddress back{};
    ASSERT_TRUE(TextToAddress("c40302010000aa28", back));
    EXPECT_EQ(back, a);
    ASSERT_TRUE(TextToAddress("C40302010000AA28 and more", back));
    EXPECT_EQ(back, a);
}

TEST(ModelOneWireAddress, PairsReadLikeScanf)
{
    // Each "%02X" skips blanks and takes up to two digits, so spaced pairs
    // and a one-digit last pair still give eight numbers.
    OneWireAddress a{};
    ASSERT_TRUE(TextToAddress("C4 03 02 01 00 00 AA 28", a));
    EXPECT_EQ(a, (OneWireAddress{0x28, 0xAA, 0, 0, 1, 2, 3, 0xC4}));
    ASSERT_TRUE(TextToAddress("C40302010000AA2", a));
    EXPECT_EQ(a[0], 0x02);
}

TEST(ModelOneWireAddress, ShortOrBrokenTextFailsAndLeavesTheAddress)
{
    const OneWireAddress keep{1, 2, 3, 4, 5, 6, 7, 8};
    for (const char* text : {"", "C4030201000", "C4030201G000AA28", "XYZ", "C4-", "C4 03 02 01 00 00 AA"}) {
        OneWireAddress a = keep;
        EXPECT_FALSE(TextToAddress(text, a)) << text;
        EXPECT_EQ(a, keep) << text;
    }
}

} // namespace
