#include "services/core/OneWireSearch.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

using namespace plendoro;

namespace {
bool Parse(const std::string& reply, std::vector<OneWireAddress>& found)
{
    return ParseOneWireReply(reinterpret_cast<const std::uint8_t*>(reply.data()), reply.size(), found);
}
} // namespace

TEST(OneWireReply, RecordsInOrderUntilOneDoesNotRead)
{
    std::vector<OneWireAddress> found;
    ASSERT_TRUE(
        Parse("1WARE_ADDR:28:9F:3C:1A:05:00:00:38;01:5E:A2:13:0C:00:00:BB;28:ZZ:00;28:41:77:2B:05:00:00:B1;", found));
    ASSERT_EQ(found.size(), 2u) << "the third record does not read: parsing stops there";
    EXPECT_EQ(found[0], (OneWireAddress{0x28, 0x9F, 0x3C, 0x1A, 0x05, 0x00, 0x00, 0x38}));
    EXPECT_EQ(found[1][0], 0x01);

    ASSERT_TRUE(Parse("1WARE_ADDR:", found));
    EXPECT_TRUE(found.empty());
    EXPECT_FALSE(Parse("1WIRE_ADDR:28:9F:3C:1A:05:00:00:38;", found));
}

TEST(OneWireReply, NeverReadsPastTheReceivedBytes)
{
    // A record cut by the end of the data, followed in memory by the rest of
    // a valid record that must not be seen.
    const std::string whole = "1WARE_ADDR:28:9F:3C:1A:05:00:00:38;28:41:77:2B:05:00:00:B1;";
    const std::size_t cut = std::string("1WARE_ADDR:28:9F:3C:1A:05:00:00:38;28:41:77").size();
    std::vector<OneWireAddress> found;
    ASSERT_TRUE(ParseOneWireReply(reinterpret_cast<const std::uint8_t*>(whole.data()), cut, found));
    EXPECT_EQ(found.size(), 1u);
    // The last record may lack its ";".
    ASSERT_TRUE(Parse("1WARE_ADDR:28:9F:3C:1A:05:00:00:38", found));
    EXPECT_EQ(found.size(), 1u);
}
