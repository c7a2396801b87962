#pragma once
// The update server's frames: "+", payload length, serial number, command
// code, payload, CRC-8, CR LF; all numbers little-endian. Every payload
// starts with a 16-byte name field holding a version text NAME-MAJOR.MINOR.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace plendoro {

constexpr std::size_t kNameFieldSize = 16;
constexpr std::size_t kVersionQuerySize = 29;
constexpr std::size_t kVersionReplySize = 41;
constexpr std::size_t kImageRequestSize = 37;
// An image reply is the image and this many bytes of framing.
constexpr std::size_t kImageReplyOverhead = 41;
// No tracker image comes near this; a larger length in a version reply is a
// broken or hostile reply and must not size a buffer.
constexpr std::uint32_t kMaxImageLength = 16u * 1024u * 1024u;
constexpr int kMaxServerMajor = 200;
constexpr int kMaxServerMinor = 99;
// The name part every firmware image of this tracker carries.
constexpr const char* kDeviceCode = "KVTW";

// Dallas/Maxim 1-Wire CRC: reflected 0x8C, start 0, no final XOR.
std::uint8_t Crc8Maxim(const std::uint8_t* bytes, std::size_t count);
// The reflected CRC-32 table, but started at 0 and without the final XOR.
std::uint32_t ImageCrc32(const std::uint8_t* bytes, std::size_t count);

// The name field's text: up to the first NUL, all 16 bytes when none.
std::string ReadNameField(const std::uint8_t* field);

struct ServerVersion {
    std::string name; // before the first "-"
    int major = 0;    // 0 when the text has no "-"
    int minor = 0;
    std::uint32_t imageLength = 0;
    std::uint32_t buildTime = 0; // seconds since 1970 UTC
};

// The version text is cut to 15 characters so the field keeps a NUL.
std::vector<std::uint8_t> BuildVersionQuery(std::uint32_t serial, std::string_view versionText);
// Empty unless the reply is a complete, consistent version reply for this
// serial number with version numbers and an image length in range.
std::optional<ServerVersion> ParseVersionReply(const std::uint8_t* reply, std::size_t size, std::uint32_t serial);
std::vector<std::uint8_t> BuildImageRequest(std::uint32_t serial, std::string_view versionText,
                                            std::uint32_t imageLength);
// True when an image reply of imageLength bytes carries the image of
// KVTW-major.minor and its CRC-32 matches. The serial number, the frame's
// CRC-8 and its CR LF are not examined: the image's own CRC guards it.
bool CheckImageReply(const std::uint8_t* reply, std::size_t size, std::uint32_t imageLength, int major, int minor);

// "%s-%d.%d"
std::string FormatVersionText(std::string_view name, int major, int minor);

} // namespace plendoro
