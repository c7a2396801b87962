#include "common/Cp1251.h"
#include "model/Conversions.h"
#include "model/FieldText.h"
#include "model/IpAddress.h"
#include "model/TextNumbers.h"

#include <algorithm>

namespace plendoro {
namespace {

constexpr int kEncryptItems = 3;
constexpr int kAuthItems = 2;
constexpr int kChannelItems = 13;
constexpr std::int32_t kDefaultServerPort = 2224;
constexpr std::int32_t kDefaultSendPeriod = 60;
constexpr std::int32_t kDefaultOnTime = 1;
constexpr std::uint32_t kMaxOnTime = 60;
constexpr std::size_t kPasswordChars = 8;
constexpr std::size_t kSsidChars = 35;
constexpr std::size_t kAsciiKey64 = 5;
constexpr std::size_t kAsciiKey128 = 13;

bool IsLaterGeneration(FirmwareGeneration layout)
{
    return layout != FirmwareGeneration::First;
}

int WrapHour(long long hour)
{
    return static_cast<int>(((hour % 24) + 24) % 24);
}

// Codes 3 and up of the later layouts name a key given as plain text; the
// list shows them one place down, so code 3 reads as "WEP128".
int EncryptPosition(FirmwareGeneration layout, unsigned code)
{
    const unsigned position = (IsLaterGeneration(layout) && code > 2) ? code - 1 : code;
    return ListPosition(position, kEncryptItems);
}

std::uint8_t EncryptCode(FirmwareGeneration layout, int position)
{
    const int code = (IsLaterGeneration(layout) && position > 2) ? position + 1 : position;
    return static_cast<std::uint8_t>(code & 7);
}

bool IsPrintableKeyByte(std::uint8_t b)
{
    return b >= 0x21 && b <= 0x7D;
}

std::string KeyText(FirmwareGeneration layout, unsigned code, const std::array<std::uint8_t, 16>& key)
{
    if (IsLaterGeneration(layout) && code >= 3)
        return BlockText(std::span(key));
    const std::size_t n = code == 1 ? kAsciiKey64 : kAsciiKey128;
    const auto bytes = std::span(key).first(n);
    if (std::all_of(bytes.begin(), bytes.end(), IsPrintableKeyByte))
        return std::string(bytes.begin(), bytes.end());
    static const char kHex[] = "0123456789ABCDEF";
    std::string hex;
    for (std::uint8_t b : bytes) {
        hex += kHex[b >> 4];
        hex += kHex[b & 15];
    }
    return hex;
}

// A key digit's value the way the device's tools have always computed it:
// anything above '9' counts from 'A' = 10, anything else from '0', in 8-bit
// arithmetic. Text that is not hexadecimal thus still gives a key, and the
// check before writing only looks at the key's length.
std::uint8_t KeyDigit(std::uint8_t c)
{
    return static_cast<std::uint8_t>(c > '9' ? c - 55 : c - 48);
}

void StoreKey(FirmwareGeneration layout, unsigned code, const std::string& text, std::array<std::uint8_t, 16>& key)
{
    const std::size_t area = NetKeyAreaSize(layout);
    const std::string k = Utf8ToCp1251(text);
    const std::size_t n = k.size();
    if (IsLaterGeneration(layout) && code >= 3) {
        std::copy_n(k.begin(), std::min(n, area), key.begin());
        return;
    }
    if (n == kAsciiKey64 || n == kAsciiKey128) {
        std::copy_n(k.begin(), n, key.begin());
        return;
    }
    for (std::size_t i = 1; 2 * i <= n && i <= area; ++i) {
        auto upper = [](char ch) {
            const auto c = static_cast<std::uint8_t>(ch);
            return static_cast<std::uint8_t>(c >= 'a' && c <= 'z' ? c - 32 : c);
        };
        const std::uint8_t h = KeyDigit(upper(k[2 * i - 2]));
        const std::uint8_t l = KeyDigit(upper(k[2 * i - 1]));
        key[i - 1] = static_cast<std::uint8_t>(((h & 15) << 4) | l);
    }
}

} // namespace

bool DecodeNetConf(FirmwareGeneration layout, std::span<const std::uint8_t> block, int firmwareVersion,
                   int localHourOffset, NetConfValues& v)
{
    NetConf c;
    if (!UnpackNetConf(block, layout, c))
        return false;
    v.edSendPeriod = DecimalText(static_cast<std::int32_t>(c.SendPeriod));
    v.edPassword = BlockText(std::span(c.Password));
    v.rbDHCPIp = c.Dhcp;
    v.rbManualIp = !c.Dhcp;
    v.edIpAddress = FormatIpAddress(c.IpAddress);
    v.edIpMask = FormatIpAddress(c.IpMask);
    v.edDefGate = FormatIpAddress(c.Gateway);
    v.cbAuth = ListPosition(c.AuthMode, kAuthItems);
    v.rgWiFiType = c.NetworkType;
    v.edServer = FormatIpAddress(c.ServerIp);
    v.edServerPort = DecimalText(c.ServerPort);
    if (layout == FirmwareGeneration::Third) {
        v.transfNMEA = c.NmeaUdp;
        v.edIpUDPServer = FormatIpAddress(c.UdpServerIp);
        v.edPortUDPServer = DecimalText(c.UdpServerPort);
    }
    v.cbEncrypt = EncryptPosition(layout, c.Encryption);
    // Without encryption the key edit keeps whatever the user typed.
    if (c.Encryption != 0)
        v.edWEPKey = KeyText(layout, c.Encryption, c.NetworkKey);
    v.edSSID = BlockText(std::span(c.Ssid));
    v.cbSendMethod = ListPosition(c.SendMethod, v.cbSendMethodItems);
    for (std::size_t i = 0; i < kTransferTimeCount; ++i) {
        const int hour = c.SendTime[i] >> 8;
        const int minute = c.SendTime[i] & 0xFF;
        if (hour < 24 && minute < 60)
            v.edSendTime[i] = {WrapHour(static_cast<long long>(hour) + localHourOffset), minute};
        else
            v.edSendTime[i] = {0, 0};
        v.edOnTime[i] = c.OnTime[i] <= kMaxOnTime ? DecimalText(c.OnTime[i]) : DecimalText(kDefaultOnTime);
    }
    if (!IsLaterGeneration(layout) || !HasWifiChannel(firmwareVersion) || c.Channel > 12)
        v.cbwChanel = 0;
    else
        v.cbwChanel = ListPosition(c.Channel, kChannelItems);
    return true;
}

std::vector<std::uint8_t> EncodeNetConf(FirmwareGeneration layout, const NetConfValues& v, int firmwareVersion,
                                        int localHourOffset)
{
    NetConf c;
    // The device expects exactly eight password bytes; short passwords are
    // padded with blanks.
    const std::string password = Utf8ToCp1251(v.edPassword);
    for (std::size_t i = 0; i < kPasswordChars; ++i)
        c.Password[i] = i < password.size() ? static_cast<std::uint8_t>(password[i]) : std::uint8_t{' '};
    if (v.rbDHCPIp) {
        c.Dhcp = true;
    } else {
        c.IpAddress = ParseIpAddress(Utf8ToCp1251(v.edIpAddress));
        c.IpMask = ParseIpAddress(Utf8ToCp1251(v.edIpMask));
        c.Gateway = ParseIpAddress(Utf8ToCp1251(v.edDefGate));
    }
    c.AuthMode = static_cast<std::uint8_t>(v.cbAuth & 1);
    c.NetworkType = static_cast<std::uint8_t>(v.rgWiFiType & 1);
    c.ServerIp = ParseIpAddress(Utf8ToCp1251(v.edServer));
    c.ServerPort = static_cast<std::uint16_t>(ReadDecimal(v.edServerPort, kDefaultServerPort));
    if (layout == FirmwareGeneration::Third) {
        c.NmeaUdp = v.transfNMEA;
        c.UdpServerPort = static_cast<std::uint16_t>(ReadDecimal(v.edPortUDPServer, kDefaultServerPort));
        c.UdpServerIp = ParseIpAddress(Utf8ToCp1251(v.edIpUDPServer));
    }
    c.Encryption = EncryptCode(layout, v.cbEncrypt);
    if (c.Encryption != 0)
        StoreKey(layout, c.Encryption, v.edWEPKey, c.NetworkKey);
    if (IsLaterGeneration(layout) && HasWifiChannel(firmwareVersion))
        c.Channel = static_cast<std::uint8_t>(v.cbwChanel & 15);
    const std::string ssid = Utf8ToCp1251(v.edSSID);
    std::copy_n(ssid.begin(), std::min(ssid.size(), kSsidChars), c.Ssid.begin());
    c.SendMethod = static_cast<std::uint8_t>(v.cbSendMethod & 3);
    c.SendPeriod = static_cast<std::uint32_t>(ReadDecimal(v.edSendPeriod, kDefaultSendPeriod));
    for (std::size_t i = 0; i < kTransferTimeCount; ++i) {
        const int hour = WrapHour(static_cast<long long>(v.edSendTime[i].hour) - localHourOffset);
        const int minute = v.edSendTime[i].minute & 0xFF;
        c.SendTime[i] = static_cast<std::uint16_t>(minute | hour << 8);
        c.OnTime[i] = static_cast<std::uint32_t>(ReadDecimal(v.edOnTime[i], kDefaultOnTime));
    }
    return PackNetConf(c, layout);
}

} // namespace plendoro
