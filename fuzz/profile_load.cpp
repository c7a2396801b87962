// Loading a profile file as the editor does: the header, the verdict for
// the editor's firmware, then each record the header's version holds, in
// order, decoded with that version's layouts. Input: one byte choosing the
// editor's firmware version, one for the local hour offset, then the file.
#include "FuzzSupport.h"
#include "files/core/Profile.h"

#include <cstdlib>

using namespace plendoro;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::Input input(data, size);
    const int firmwareVersion = fuzz::FirmwareVersionOf(input.Byte());
    const int localHourOffset = static_cast<std::int8_t>(input.Byte());
    auto file = input.Rest();
    // A load never reads more than this of a file.
    file = file.first(std::min(file.size(), kProfileReadLimit));

    const auto version = ParseProfileHeader(file);
    const ProfileLoadVerdict verdict = VerdictFor(version, firmwareVersion);
    if (verdict != ProfileLoadVerdict::Load && verdict != ProfileLoadVerdict::LoadAndWarn)
        return 0;
    ProfileRecordReader reader(file);
    std::size_t taken = kProfileHeaderSize;
    for (const ProfileRecordLayout& record : ProfileRecords(*version)) {
        const auto bytes = reader.Next(record);
        if (!bytes)
            break;
        taken += kProfileRecordHeaderSize + bytes->size();
        if (bytes->size() != record.length || taken > file.size() ||
            !fuzz::DecodeBlock(static_cast<BlockId>(record.blockId), *bytes, LayoutOf(*version), firmwareVersion,
                               localHourOffset))
            std::abort();
    }
    return 0;
}
