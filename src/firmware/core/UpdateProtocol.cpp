#include "firmware/core/UpdateProtocol.h"

#include "common/Bytes.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>

namespace plendoro {
namespace {

constexpr std::uint8_t kStart = '+';
constexpr std::uint8_t kCodeVersionQuery = 0;
constexpr std::uint8_t kCodeVersionReply = 2;
constexpr std::uint8_t kCodeImageRequest = 4;
constexpr std::uint8_t kCodeImageReply = 6;

constexpr std::array<std::uint8_t, 256> MakeCrc8Table()
{
    std::array<std::uint8_t, 256> t{};
    for (unsigned i = 0; i < 256; ++i) {
        std::uint8_t c = static_cast<std::uint8_t>(i);
        for (int b = 0; b < 8; ++b)
            c = (c & 1) ? static_cast<std::uint8_t>((c >> 1) ^ 0x8C) : static_cast<std::uint8_t>(c >> 1);
        t[i] = c;
    }
    return t;
}

constexpr std::array<std::uint32_t, 256> MakeCrc32Table()
{
    std::array<std::uint32_t, 256> t{};
    for (std::uint32_t i = 0; i < 256; ++i) {
        std::uint32_t c = i;
        for (int b = 0; b < 8; ++b)
            c = (c & 1) ? (c >> 1) ^ 0xEDB88320u : c >> 1;
        t[i] = c;
    }
    return t;
}

constexpr auto kCrc8Table = MakeCrc8Table();
constexpr auto kCrc32Table = MakeCrc32Table();

// Header and name field of a frame of payload length L; the caller fills
// the rest of the payload, then Seal adds the CRC-8 and CR LF.
std::vector<std::uint8_t> StartFrame(std::uint32_t payloadLength, std::uint32_t serial, std::uint8_t code,
                                     std::string_view versionText)
{
    std::vector<std::uint8_t> frame(13 + payloadLength, 0);
    frame[0] = kStart;
    WriteLe32(frame.data() + 1, payloadLength);
    WriteLe32(frame.data() + 5, serial);
    frame[9] = code;
    const std::size_t n = std::min(versionText.size(), kNameFieldSize - 1);
    std::memcpy(frame.data() + 10, versionText.data(), n);
    return frame;
}

void Seal(std::vector<std::uint8_t>& frame)
{
    const std::size_t crcAt = frame.size() - 3;
    frame[crcAt] = Crc8Maxim(frame.data(), crcAt);
    frame[crcAt + 1] = '\r';
    frame[crcAt + 2] = '\n';
}

} // namespace

std::uint8_t Crc8Maxim(const std::uint8_t* bytes, std::size_t count)
{
    std::uint8_t crc = 0;
    for (std::size_t i = 0; i < count; ++i)
        crc = kCrc8Table[crc ^ bytes[i]];
    return crc;
}

std::uint32_t ImageCrc32(const std::uint8_t* bytes, std::size_t count)
{
    std::uint32_t crc = 0;
    for (std::size_t i = 0; i < count; ++i)
        crc = (crc >> 8) ^ kCrc32Table[(crc ^ bytes[i]) & 0xFF];
    return crc;
}

std::string ReadNameField(const std::uint8_t* field)
{
    const auto* end = std::find(field, field + kNameFieldSize, 0);
    return std::string(reinterpret_cast<const char*>(field), static_cast<std::size_t>(end - field));
}

std::string FormatVersionText(std::string_view name, int major, int minor)
{
    return std::string(name) + "-" + std::to_string(major) + "." + std::to_string(minor);
}

std::vector<std::uint8_t> BuildVersionQuery(std::uint32_t serial, std::string_view versionText)
{
    auto frame = StartFrame(16, serial, kCodeVersionQuery, versionText);
    Seal(frame);
    return frame;
}

std::optional<ServerVersion> ParseVersionReply(const std::uint8_t* reply, std::size_t size, std::uint32_t serial)
{
    if (size != kVersionReplySize || reply[0] != kStart || Crc8Maxim(reply, 38) != reply[38] ||
        reply[9] != kCodeVersionReply || ReadLe32(reply + 5) != serial)
        return std::nullopt;
    ServerVersion v;
    const std::string text = ReadNameField(reply + 10);
    const std::size_t dash = text.find('-');
    v.name = text.substr(0, dash);
    if (dash != std::string::npos) {
        int major = 0, minor = 0;
        const int got = std::sscanf(text.c_str() + dash + 1, "%d.%d", &major, &minor);
        if (got >= 1)
            v.major = major;
        if (got >= 2)
            v.minor = minor;
    }
    if (v.major < 0 || v.major > kMaxServerMajor || v.minor < 0 || v.minor > kMaxServerMinor)
        return std::nullopt;
    v.imageLength = ReadLe32(reply + 26);
    v.buildTime = ReadLe32(reply + 34);
    if (v.imageLength > kMaxImageLength)
        return std::nullopt;
    return v;
}

std::vector<std::uint8_t> BuildImageRequest(std::uint32_t serial, std::string_view versionText,
                                            std::uint32_t imageLength)
{
    auto frame = StartFrame(24, serial, kCodeImageRequest, versionText);
    WriteLe32(frame.data() + 26, 0);
    WriteLe32(frame.data() + 30, imageLength);
    Seal(frame);
    return frame;
}

bool CheckImageReply(const std::uint8_t* reply, std::size_t size, std::uint32_t imageLength, int major, int minor)
{
    if (size != imageLength + kImageReplyOverhead || reply[0] != kStart || ReadLe32(reply + 1) != imageLength + 28 ||
        reply[9] != kCodeImageReply)
        return false;
    const std::string name = ReadNameField(reply + 10);
    int fileMajor = 0, fileMinor = 0;
    if (std::sscanf(name.c_str(), "KVTW-%d.%d", &fileMajor, &fileMinor) != 2 || fileMajor != major ||
        fileMinor != minor)
        return false;
    return ImageCrc32(reply + 34, imageLength) == ReadLe32(reply + 34 + imageLength);
}

} // namespace plendoro
