#include "model/Conversions.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

using namespace plendoro;

namespace {

using Bytes = std::vector<std::uint8_t>;
constexpr auto G1 = FirmwareGeneration::First;
constexpr auto G2 = FirmwareGeneration::Second;
constexpr auto G3 = FirmwareGeneration::Third;

Bytes Zero(FirmwareGeneration g)
{
    return Bytes(NetConfSizeOf(g), 0);
}
Bytes Slice(const Bytes& b, std::size_t at, std::size_t n)
{
    return Bytes(b.begin() + at, b.begin() + at + n);
}
void Put(Bytes& b, std::size_t at, const Bytes& bytes)
{
    std::copy(bytes.begin(), bytes.end(), b.begin() + at);
}

// A filled-in editor, as the user leaves it before a write.
NetConfValues Filled()
{
    NetConfValues v;
    v.edPassword = "Pa55word";
    v.rbDHCPIp = false;
    v.rbManualIp = true;
    v.edIpAddress = "192.168.0.100";
    v.cbAuth = 1;
    v.rgWiFiType = 1;
    v.edServer = "10.20.30.40";
    v.edServerPort = "2225";
    v.transfNMEA = true;
    v.edIpUDPServer = "10.0.0.9";
    v.edPortUDPServer = "5000";
    v.cbEncrypt = 1;
    v.edWEPKey = "abcde";
    v.edSSID = "KV-depot";
    v.cbSendMethod = 2;
    v.edSendPeriod = "120";
    v.edSendTime = {TimeOfDay{8, 15}, TimeOfDay{12, 0}, TimeOfDay{23, 59}};
    v.edOnTime = {"5", "10", "60"};
    v.cbwChanel = 11;
    return v;
}

NetConfValues Decoded(FirmwareGeneration g, const Bytes& b, int fw = 403, int offset = 0, NetConfValues v = {})
{
    EXPECT_TRUE(DecodeNetConf(g, b, fw, offset, v));
    return v;
}

TEST(ModelNetConf, LayoutsMoveFieldsAndRoundTrip)
{
    const Bytes b1 = EncodeNetConf(G1, Filled(), 250, 3);
    const Bytes b2 = EncodeNetConf(G2, Filled(), 305, 3);
    const Bytes b3 = EncodeNetConf(G3, Filled(), 403, 3);
    ASSERT_EQ(b1.size(), 108u);
    ASSERT_EQ(b2.size(), 111u);
    ASSERT_EQ(b3.size(), 117u);
    // The key area grows by three bytes and pushes everything behind it.
    EXPECT_EQ(b1[50], 'K');
    EXPECT_EQ(b2[53], 'K');
    EXPECT_EQ(b1[86], 120);
    EXPECT_EQ(b2[89], 120);
    EXPECT_EQ(Slice(b1, 90, 2), (Bytes{15, 5}));
    EXPECT_EQ(b1[104], 60);
    EXPECT_EQ(b3[107], 60);
    EXPECT_EQ(b1[1], 0);
    EXPECT_EQ(b2[1], 11);
    EXPECT_EQ(b3[1], 0x10 | 11);
    EXPECT_EQ(Slice(b3, 111, 6), (Bytes{10, 0, 0, 9, 0x88, 0x13}));
    EXPECT_EQ(EncodeNetConf(G1, Decoded(G1, b1, 250, 3), 250, 3), b1);
    EXPECT_EQ(EncodeNetConf(G2, Decoded(G2, b2, 305, 3), 305, 3), b2);
    const NetConfValues v3 = Decoded(G3, b3, 403, 3);
    EXPECT_EQ(EncodeNetConf(G3, v3, 403, 3), b3);
    EXPECT_EQ(v3.edSendTime[2], (TimeOfDay{23, 59}));
    EXPECT_EQ(v3.edWEPKey, "abcde");
}

TEST(ModelNetConf, ReservedBytesComeBackZero)
{
    const Bytes clean = EncodeNetConf(G3, Filled(), 403, 0);
    Bytes dirty = clean;
    Put(dirty, 13, Bytes(6, 0xA5));
    Put(dirty, 2, {0xA5, 0xA5});
    dirty[1] |= 0xE0;
    dirty[12] = '!';
    NetConfValues v = Decoded(G3, dirty);
    // Byte 12 ends the password; filled, it shows as a ninth character.
    EXPECT_EQ(v.edPassword, "Pa55word!");
    v.edPassword = "Pa55word";
    EXPECT_EQ(EncodeNetConf(G3, v, 403, 0), clean);

    Bytes first = Zero(G1);
    first[1] = 0x05;
    NetConfValues g1;
    g1.cbwChanel = 7;
    g1 = Decoded(G1, first, 403, 0, g1);
    EXPECT_EQ(g1.cbwChanel, 0);
    EXPECT_EQ(EncodeNetConf(G1, g1, 403, 0)[1], 0);
}

TEST(ModelNetConf, ChannelNeedsFirmware305AndANibbleUpTo12)
{
    Bytes b = Zero(G2);
    b[1] = 0x05;
    EXPECT_EQ(Decoded(G2, b, 305).cbwChanel, 5);
    NetConfValues v = Decoded(G2, b, 304);
    EXPECT_EQ(v.cbwChanel, 0);
    v.cbwChanel = 5;
    EXPECT_EQ(EncodeNetConf(G2, v, 304, 0)[1], 0);
    EXPECT_EQ(EncodeNetConf(G2, v, 305, 0)[1], 5);
    Bytes b3 = Zero(G3);
    for (std::uint8_t nibble : {12, 13, 14, 15}) {
        b3[1] = nibble;
        NetConfValues shown;
        shown.cbwChanel = 3;
        EXPECT_EQ(Decoded(G3, b3, 403, 0, shown).cbwChanel, nibble == 12 ? 12 : 0) << int(nibble);
    }
}

TEST(ModelNetConf, DhcpLeavesAddressesZeroAndShowsThemAnyway)
{
    NetConfValues v = Filled();
    v.rbDHCPIp = true;
    const Bytes dhcp = EncodeNetConf(G2, v, 305, 0);
    EXPECT_EQ(dhcp[0] & 1, 1);
    EXPECT_EQ(Slice(dhcp, 19, 12), Bytes(12, 0));
    const NetConfValues back = Decoded(G2, dhcp, 305, 0, Filled());
    EXPECT_TRUE(back.rbDHCPIp);
    EXPECT_FALSE(back.rbManualIp);
    EXPECT_EQ(back.edIpAddress, "0.0.0.0");
    EXPECT_EQ(back.edDefGate, "0.0.0.0");

    const Bytes manual = EncodeNetConf(G2, Filled(), 305, 0);
    EXPECT_EQ(manual[0] & 1, 0);
    EXPECT_EQ(Slice(manual, 19, 12), (Bytes{192, 168, 0, 100, 255, 255, 255, 0, 192, 168, 0, 1}));
    EXPECT_TRUE(Decoded(G2, manual, 305, 0, v).rbManualIp);
}

TEST(ModelNetConf, AddressesThatDoNotParseAreStoredAsAllOnes)
{
    NetConfValues v = Filled();
    v.edServer = "10.0.0.255";
    v.edIpUDPServer = "not an address";
    const Bytes b = EncodeNetConf(G3, v, 403, 0);
    EXPECT_EQ(Slice(b, 31, 4), Bytes(4, 0xFF));
    EXPECT_EQ(Slice(b, 111, 4), Bytes(4, 0xFF));
    EXPECT_EQ(Decoded(G3, b).edServer, "255.255.255.255");
    v.edServer = "10.0.255.1";
    EXPECT_EQ(Slice(EncodeNetConf(G1, v, 250, 0), 31, 4), (Bytes{0x0A, 0x00, 0xFF, 0x01}));
}

TEST(ModelNetConf, NumberTextDefaultsAndTruncation)
{
    NetConfValues v = Filled();
    v.edServerPort = "";
    v.edPortUDPServer = "x";
    v.edSendPeriod = "";
    v.edOnTime = {"", "abc", "7"};
    Bytes b = EncodeNetConf(G3, v, 403, 0);
    EXPECT_EQ(Slice(b, 35, 2), (Bytes{0xB0, 0x08})); // 2224
    EXPECT_EQ(Slice(b, 115, 2), (Bytes{0xB0, 0x08}));
    EXPECT_EQ(Slice(b, 89, 4), (Bytes{60, 0, 0, 0}));
    EXPECT_EQ(Slice(b, 99, 12), (Bytes{1, 0, 0, 0, 1, 0, 0, 0, 7, 0, 0, 0}));

    v.edServerPort = "70000";
    v.edSendPeriod = "-1";
    b = EncodeNetConf(G3, v, 403, 0);
    EXPECT_EQ(Slice(b, 35, 2), (Bytes{0x70, 0x11})); // low 16 bits: 4464
    EXPECT_EQ(Slice(b, 89, 4), Bytes(4, 0xFF));
    const NetConfValues back = Decoded(G3, b);
    EXPECT_EQ(back.edSendPeriod, "-1");
    EXPECT_EQ(back.edServerPort, "4464");
}

TEST(ModelNetConf, Wep64KeyAsTextOrHex)
{
    NetConfValues v = Filled();
    v.edWEPKey = "k!y#9";
    Bytes b = EncodeNetConf(G2, v, 305, 0);
    EXPECT_EQ(b[0] >> 5, 1);
    EXPECT_EQ(Slice(b, 37, 6), (Bytes{'k', '!', 'y', '#', '9', 0}));
    EXPECT_EQ(Decoded(G2, b).edWEPKey, "k!y#9");

    v.edWEPKey = "0a1b2c3d4e";
    b = EncodeNetConf(G2, v, 305, 0);
    EXPECT_EQ(Slice(b, 37, 6), (Bytes{0x0A, 0x1B, 0x2C, 0x3D, 0x4E, 0}));
    EXPECT_EQ(Decoded(G2, b).edWEPKey, "0A1B2C3D4E");

    // Hex digits that spell printable bytes read back as those characters.
    v.edWEPKey = "4142434445";
    EXPECT_EQ(Decoded(G1, EncodeNetConf(G1, v, 250, 0), 250).edWEPKey, "ABCDE");

    // An odd last digit is dropped; a non-hex 'G' counts as 16.
    v.cbEncrypt = 2;
    v.edWEPKey = "ABC";
    EXPECT_EQ(Slice(EncodeNetConf(G2, v, 305, 0), 37, 2), (Bytes{0xAB, 0}));
    v.edWEPKey = "GG";
    EXPECT_EQ(EncodeNetConf(G2, v, 305, 0)[37], 0x10);
}

TEST(ModelNetConf, Wep128PrintableKeyWithTildeReadsAsHex)
{
    Bytes b = Zero(G1);
    b[0] = 2 << 5;
    const std::string key = "abcdefghijkl~";
    Put(b, 37, Bytes(key.begin(), key.end()));
    NetConfValues v = Decoded(G1, b, 250);
    EXPECT_EQ(v.cbEncrypt, 2);
    EXPECT_EQ(v.edWEPKey, "6162636465666768696A6B6C7E");
    EXPECT_EQ(Slice(EncodeNetConf(G1, v, 250, 0), 37, 13), Slice(b, 37, 13));
    b[49] = '}';
    EXPECT_EQ(Decoded(G1, b, 250).edWEPKey, "abcdefghijkl}");
}

TEST(ModelNetConf, KeyNeverOverrunsItsArea)
{
    NetConfValues v = Filled();
    v.cbEncrypt = 2;
    v.edWEPKey = std::string(40, 'F');
    v.edSSID = "";
    Bytes b = EncodeNetConf(G1, v, 250, 0);
    EXPECT_EQ(Slice(b, 37, 13), Bytes(13, 0xFF));
    EXPECT_EQ(b[50], 0);
    b = EncodeNetConf(G2, v, 305, 0);
    EXPECT_EQ(Slice(b, 37, 16), Bytes(16, 0xFF));
    EXPECT_EQ(b[53], 0);

    // No selection is code 7 in every generation; in the later ones that is
    // a text key, cut at 16 bytes.
    v.cbEncrypt = -1;
    v.edWEPKey = "ABCDEFGHIJKLMNOPQRS";
    b = EncodeNetConf(G2, v, 305, 0);
    EXPECT_EQ(b[0] >> 5, 7);
    const std::string cut = "ABCDEFGHIJKLMNOP";
    EXPECT_EQ(Slice(b, 37, 16), Bytes(cut.begin(), cut.end()));
    EXPECT_EQ(b[53], 0);
    EXPECT_EQ(EncodeNetConf(G1, v, 250, 0)[0] >> 5, 7);
    EXPECT_EQ(EncodeNetConf(G3, v, 403, 0)[0] >> 5, 7);
}

TEST(ModelNetConf, TextKeyCodesOfLaterGenerations)
{
    Bytes b = Zero(G2);
    b[0] = 3 << 5;
    const std::string key = "0123456789abcdef";
    Put(b, 37, Bytes(key.begin(), key.end()));
    NetConfValues v = Decoded(G2, b);
    EXPECT_EQ(v.cbEncrypt, 2);
    EXPECT_EQ(v.edWEPKey, key);
    b[42] = 0;
    EXPECT_EQ(Decoded(G2, b).edWEPKey, "01234");
    for (int code = 4; code <= 7; ++code) {
        b[0] = static_cast<std::uint8_t>(code << 5);
        EXPECT_EQ(Decoded(G2, b).cbEncrypt, -1) << code;
    }
    // The first generation has no text-key codes: 3 has no list entry and
    // its key is read as a 13-byte key.
    Bytes g1 = Zero(G1);
    g1[0] = 3 << 5;
    Put(g1, 37, Bytes(key.begin(), key.begin() + 13));
    v = Decoded(G1, g1, 250);
    EXPECT_EQ(v.cbEncrypt, -1);
    EXPECT_EQ(v.edWEPKey, key.substr(0, 13));
}

TEST(ModelNetConf, NoEncryptionKeepsKeyTextAndStoresNoKey)
{
    NetConfValues v = Filled();
    v.cbEncrypt = 0;
    const Bytes b = EncodeNetConf(G2, v, 305, 0);
    EXPECT_EQ(Slice(b, 37, 16), Bytes(16, 0));
    NetConfValues shown;
    shown.edWEPKey = "typed";
    EXPECT_EQ(Decoded(G2, b, 305, 0, shown).edWEPKey, "typed");
}

TEST(ModelNetConf, TransferTimesShiftByLocalHourOffset)
{
    Bytes b = Zero(G1);
    Put(b, 90, {0x16, 0x1E, 0x1E, 0x0A, 30, 22}); // 30:22 (not a time), 10:30, 22:30
    Put(b, 96, {60, 0, 0, 0, 61, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF});
    NetConfValues shown;
    shown.edSendTime[0] = {7, 7};
    NetConfValues v = Decoded(G1, b, 250, 5, shown);
    EXPECT_EQ(v.edSendTime[0], (TimeOfDay{0, 0}));
    EXPECT_EQ(v.edSendTime[1], (TimeOfDay{15, 30}));
    EXPECT_EQ(v.edSendTime[2], (TimeOfDay{3, 30}));
    EXPECT_EQ(Slice(EncodeNetConf(G1, v, 250, 5), 92, 2), (Bytes{0x1E, 0x0A}));
    EXPECT_EQ(v.edOnTime, (std::array<std::string, 3>{"60", "1", "1"}));

    v = Decoded(G1, b, 250, 3);
    EXPECT_EQ(v.edSendTime[2], (TimeOfDay{1, 30}));
    EXPECT_EQ(Slice(EncodeNetConf(G1, v, 250, 3), 94, 2), (Bytes{30, 22}));

    // West of Greenwich, and offsets of a day or more, act modulo 24.
    v = Decoded(G1, b, 250, -11);
    EXPECT_EQ(v.edSendTime[1], (TimeOfDay{23, 30}));
    EXPECT_EQ(Slice(EncodeNetConf(G1, v, 250, -11), 92, 2), (Bytes{0x1E, 0x0A}));
    EXPECT_EQ(Decoded(G1, b, 250, 27).edSendTime[1], (TimeOfDay{13, 30}));

    Put(b, 92, {60, 10}); // minute 60 is not a time either
    EXPECT_EQ(Decoded(G1, b, 250).edSendTime[1], (TimeOfDay{0, 0}));
}

TEST(ModelNetConf, PasswordIsPaddedWithBlanksAndCut)
{
    NetConfValues v = Filled();
    v.edPassword = "abc";
    Bytes b = EncodeNetConf(G1, v, 250, 0);
    EXPECT_EQ(Slice(b, 4, 9), (Bytes{'a', 'b', 'c', ' ', ' ', ' ', ' ', ' ', 0}));
    EXPECT_EQ(Decoded(G1, b, 250).edPassword, "abc     ");
    v.edPassword = "0123456789";
    b = EncodeNetConf(G1, v, 250, 0);
    EXPECT_EQ(Slice(b, 4, 10), (Bytes{'0', '1', '2', '3', '4', '5', '6', '7', 0, 0}));
}

TEST(ModelNetConf, SsidIsCutAt35AndReadsAtMost36)
{
    NetConfValues v = Filled();
    v.edSSID = std::string(35, 'S');
    Bytes b = EncodeNetConf(G1, v, 250, 0);
    EXPECT_EQ(Slice(b, 50, 35), Bytes(35, 'S'));
    EXPECT_EQ(b[85], 0);
    v.edSSID = std::string(40, 'T');
    b = EncodeNetConf(G1, v, 250, 0);
    EXPECT_EQ(b[84], 'T');
    EXPECT_EQ(b[85], 0);
    EXPECT_EQ(b[86], 120);

    // A device that filled all 36 bytes: the name stops at the field's end,
    // not in the send period behind it.
    Bytes full = Zero(G2);
    Put(full, 53, Bytes(36, 'N'));
    full[89] = 'X';
    EXPECT_EQ(Decoded(G2, full).edSSID, std::string(36, 'N'));

    v.edSSID = "Сеть";
    b = EncodeNetConf(G2, v, 305, 0);
    EXPECT_EQ(Slice(b, 53, 5), (Bytes{0xD1, 0xE5, 0xF2, 0xFC, 0}));
    EXPECT_EQ(Decoded(G2, b).edSSID, "Сеть");
}

TEST(ModelNetConf, NmeaFieldsBelongToTheThirdGenerationOnly)
{
    NetConfValues shown;
    shown.transfNMEA = true;
    shown.edIpUDPServer = "1.1.1.1";
    shown.edPortUDPServer = "9";
    NetConfValues v = Decoded(G2, EncodeNetConf(G2, Filled(), 305, 0), 305, 0, shown);
    EXPECT_TRUE(v.transfNMEA);
    EXPECT_EQ(v.edIpUDPServer, "1.1.1.1");
    EXPECT_EQ(v.edPortUDPServer, "9");

    Bytes b3 = Zero(G3);
    Put(b3, 111, {10, 0, 0, 7, 0x88, 0x13});
    v = Decoded(G3, b3, 403, 0, shown);
    EXPECT_FALSE(v.transfNMEA);
    EXPECT_EQ(v.edIpUDPServer, "10.0.0.7");
    EXPECT_EQ(v.edPortUDPServer, "5000");
}

TEST(ModelNetConf, SendMethodFollowsTheListsLength)
{
    Bytes b = Zero(G2);
    b[0] = 3 << 3;
    NetConfValues v;
    EXPECT_EQ(Decoded(G2, b, 305, 0, v).cbSendMethod, 3);
    v.cbSendMethodItems = 3;
    v = Decoded(G2, b, 305, 0, v);
    EXPECT_EQ(v.cbSendMethod, -1);
    EXPECT_EQ((EncodeNetConf(G2, v, 305, 0)[0] >> 3) & 3, 3);
}

TEST(ModelNetConf, ShortBlockIsRefused)
{
    NetConfValues v = Filled();
    EXPECT_FALSE(DecodeNetConf(G3, Bytes(116, 0), 403, 0, v));
    EXPECT_EQ(v.edSSID, "KV-depot");
}

} // namespace
