#include "link/Identification.h"

#include "common/Log.h"
#include "link/TextExchange.h"
#include "link/UsbLink.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace plendoro {

std::int32_t SerialNumberFromText(std::string_view s)
{
    std::size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        negative = s[i] == '-';
        ++i;
    }
    std::uint32_t value = 0; // wraps like the device's own 32-bit counter
    for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i)
        value = value * 10u + static_cast<std::uint32_t>(s[i] - '0');
    if (negative)
        value = 0u - value;
    return static_cast<std::int32_t>(value);
}

std::array<std::uint8_t, 6> MacFromSerial(std::int32_t serialNumber)
{
    const auto n = static_cast<std::uint32_t>(serialNumber);
    return {0x00,
            0x50,
            0x26,
            static_cast<std::uint8_t>(n >> 16),
            static_cast<std::uint8_t>(n >> 8),
            static_cast<std::uint8_t>(n)};
}

std::string FormatMac(const std::array<std::uint8_t, 6>& m)
{
    char text[32];
    std::snprintf(text, sizeof text, "%02X:%02X:%02X:%02X:%02X:%02X", m[0], m[1], m[2], m[3], m[4], m[5]);
    return text;
}

std::string FormatFirmware(int major, int minor)
{
    char text[32];
    std::snprintf(text, sizeof text, "%d.%02d", major, minor);
    return text;
}

void ApplySerial(DeviceIdentity& identity, const std::string& serialText)
{
    identity.serialText = serialText;
    identity.serialNumber = SerialNumberFromText(serialText);
    identity.mac = MacFromSerial(identity.serialNumber);
}

bool ParseVersionReply(const std::uint8_t* reply, std::size_t length, int& major, int& minor)
{
    if (length < 9)
        return false;
    char text[128] = {};
    std::memcpy(text, reply, length < sizeof text - 1 ? length : sizeof text - 1);
    // The numbers are read without overflow and bounded, so a corrupted or
    // hostile reply cannot be taken for some other firmware generation.
    static const char kPrefix[] = "KVTW-";
    if (std::strncmp(text, kPrefix, sizeof kPrefix - 1) != 0)
        return false;
    char* end = nullptr;
    const long a = std::strtol(text + sizeof kPrefix - 1, &end, 10);
    if (end == text + sizeof kPrefix - 1 || *end != '.')
        return false;
    const char* minorText = end + 1;
    const long b = std::strtol(minorText, &end, 10);
    if (end == minorText)
        return false;
    if (a < 0 || a > kMaxFirmwareMajor || b < 0 || b > kMaxFirmwareMinor)
        return false;
    major = static_cast<int>(a);
    minor = static_cast<int>(b);
    return true;
}

bool QueryVersions(ByteLink& link, DeviceIdentity& identity)
{
    static const char kVersionCommand[] = "FL_READ_VERSION$";
    std::uint8_t reply[101];
    bool read = false;
    for (int attempt = 0; attempt < kVersionAttempts && !read; ++attempt) {
        SendText(link, reinterpret_cast<const std::uint8_t*>(kVersionCommand), sizeof kVersionCommand - 1);
        const std::size_t got = ReadTimedReply(link, reply, 100, 200);
        read = ParseVersionReply(reply, got, identity.firmwareMajor, identity.firmwareMinor);
    }
    if (!read) {
        if (LogEnabled(LogChannel::Link))
            LogLine(LogChannel::Link, "no firmware version after " + std::to_string(kVersionAttempts) + " attempts");
        return false;
    }
    identity.firmwareVersion = identity.firmwareMajor * 100 + identity.firmwareMinor;
    identity.hardwareVersionRead = false;

    if (ReadsHardwareVersion(identity.firmwareVersion)) {
        static const char kHardwareCommand[] = "GET_HVERSION";
        SendText(link, reinterpret_cast<const std::uint8_t*>(kHardwareCommand), sizeof kHardwareCommand - 1);
        std::uint8_t hw[100] = {};
        const std::size_t got = link.ReadAnswer(hw, sizeof hw);
        if (LogEnabled(LogChannel::Link))
            LogLine(LogChannel::Link, "hardware version reply " + HexBytes(hw, got < sizeof hw ? got : sizeof hw));
        if (got >= 1) {
            identity.hardwareVersion = static_cast<std::int8_t>(hw[0]);
            identity.hardwareVersionRead = true;
        }
    }
    return true;
}

bool ReadVersions(UsbLink& link, DeviceIdentity& identity)
{
    if (!link.Open())
        return false;
    const bool ok = QueryVersions(link, identity);
    link.Close();
    return ok;
}

std::string OpenFailureText(const OpenFailure& failure)
{
    switch (failure.kind) {
    case OpenFailure::Kind::None: return {};
    case OpenFailure::Kind::Busy:
        return "Порт " + failure.node + " занят программой " + (failure.holder.empty() ? "?" : failure.holder);
    case OpenFailure::Kind::NoPermission: break;
    }
    return "Нет доступа к " + failure.node +
           ": установите правило udev из пакета или добавьте пользователя в группу dialout и войдите заново";
}

} // namespace plendoro
