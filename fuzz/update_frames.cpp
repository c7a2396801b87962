// The update server's frames and the ".eraw" files made from them. Input:
// one byte choosing what is fed, then
//   0: a version reply (for the serial number it carries);
//   1: the major and minor version the client asked for, then an image
//      reply; a reply the client takes must give a firmware file that reads
//      back as that version of this tracker's firmware;
//   2: a firmware file as found in the firmware folder.
#include "FuzzSupport.h"
#include "common/Bytes.h"
#include "firmware/core/FirmwareFile.h"
#include "firmware/core/UpdateProtocol.h"

#include <cstdlib>

using namespace plendoro;

namespace {

void VersionReply(std::span<const std::uint8_t> reply)
{
    const std::uint32_t serial = reply.size() >= 9 ? ReadLe32(reply.data() + 5) : 0;
    const auto version = ParseVersionReply(reply.data(), reply.size(), serial);
    if (version && (version->imageLength > kMaxImageLength || version->major < 0 || version->major > kMaxServerMajor ||
                    version->minor < 0 || version->minor > kMaxServerMinor))
        std::abort();
}

void ImageReply(fuzz::Input& input)
{
    const int major = input.Byte() % (kMaxServerMajor + 1);
    const int minor = input.Byte() % (kMaxServerMinor + 1);
    const auto reply = input.Rest();
    if (reply.size() < kImageReplyOverhead)
        return;
    const auto imageLength = static_cast<std::uint32_t>(reply.size() - kImageReplyOverhead);
    if (!CheckImageReply(reply.data(), reply.size(), imageLength, major, minor))
        return;
    const auto file = BuildFirmwareFile(major, minor, ReadLe32(reply.data() + 26), reply.data() + 34, imageLength);
    DiskFirmware disk;
    disk.deviceCode = kDeviceCode;
    if (!ValidateFirmwareFile(disk, file.data(), file.size()) && (major != 0 || minor != 0))
        std::abort();
    if (disk.major != major || disk.minor != minor)
        std::abort();
}

void FirmwareFile(std::span<const std::uint8_t> file)
{
    FirmwareFileInfo info;
    ReadFirmwareFile(file.data(), file.size(), info);
    DiskFirmware disk;
    disk.deviceCode = kDeviceCode;
    ValidateFirmwareFile(disk, file.data(), file.size());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::Input input(data, size);
    switch (input.Byte() % 3) {
    case 0: VersionReply(input.Rest()); break;
    case 1: ImageReply(input); break;
    case 2: FirmwareFile(input.Rest()); break;
    }
    return 0;
}
