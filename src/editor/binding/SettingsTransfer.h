#pragma once
// Reading every settings block of the tracker into the editor and writing
// the editor back as blocks, in the order and sizes of the tracker's
// firmware generation.
#include "common/Clock.h"
#include "editor/StatusSink.h"
#include "link/ByteLink.h"
#include "link/Identification.h"
#include "model/Blocks.h"
#include "services/core/BlockTransfer.h"

#include <QString>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

namespace plendoro {

class SettingsEditor;

// One block of the editor, encoded as the device or a profile stores it.
std::vector<std::uint8_t> EncodeBlockFromEditor(SettingsEditor& editor, BlockId block, FirmwareGeneration layout,
                                                int firmwareVersion, int localHourOffset);
// Whether the block's bytes decode at all, without touching any editor: a
// file is checked whole before its first block reaches the editor.
bool BlockDecodes(BlockId block, std::span<const std::uint8_t> bytes, FirmwareGeneration layout, int firmwareVersion,
                  int localHourOffset);
// Decodes one block into the editor and runs the rules its decoder asks
// for. The recording-method rule runs only after a device read. False when
// the bytes are too few for the block.
bool DecodeBlockIntoEditor(SettingsEditor& editor, BlockId block, std::span<const std::uint8_t> bytes,
                           FirmwareGeneration layout, int firmwareVersion, int localHourOffset, bool fromDevice);

struct BlockTransfer {
    ByteLink& link;
    Clock& clock;
    SettingsEditor& editor;
    int firmwareVersion;
    int localHourOffset;
    // The status line: text, error flag.
    StatusSink showStatus;
};

// The device must be open. Stops at the first failing block, whose
// failure text is then in the status line; the blocks before it stay
// decoded.
bool ReadAllBlocks(const BlockTransfer& t);
// Every block of the version encoded from the editor, in transfer order.
// Block 6's encoder unticks a sensor slot whose address does not read.
std::vector<EncodedBlock> EncodeAllBlocks(SettingsEditor& editor, int firmwareVersion, int localHourOffset);

// Encodes every block first, then writes them.
// 0 when every block was written, else 1 + the position of the failing
// block (block 0 → 1, 1 → 2, 2 → 3, 3 → 4, 5 → 5, 6 → 6).
int WriteAllBlocks(const BlockTransfer& t);
QString WriteResultText(int code);

} // namespace plendoro
