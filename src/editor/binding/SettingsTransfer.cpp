#include "editor/binding/SettingsTransfer.h"

#include "editor/Editor.h"
#include "link/Protocol.h"
#include "services/core/BlockTransfer.h"
#include "model/Conversions.h"
#include "editor/binding/EditorBinding.h"

#include <array>
#include <cstring>

namespace plendoro {

namespace {
std::vector<TCANId_V3>& FoundCan(SettingsEditor& editor)
{
    static std::vector<TCANId_V3> none; // no CAN page: nothing found, nothing kept
    if (editor.can)
        return editor.can->FoundCanParameters();
    none.clear();
    return none;
}
} // namespace

std::vector<int> BlocksOf(int firmwareVersion)
{
    std::vector<int> blocks = {0, 1, 2, 3};
    if (GenerationOf(firmwareVersion) != FirmwareGeneration::First)
        blocks.push_back(5);
    if (HasOneWireBlock(firmwareVersion))
        blocks.push_back(6);
    return blocks;
}

std::size_t BlockSize(int block, int firmwareVersion)
{
    switch (block) {
    case 0: return kMainConfSize;
    case 1: return NetConfSize(firmwareVersion);
    case 2: return kInputsConfSize;
    case 3: return kRs485ConfSize;
    case 5: return kCanConfSize;
    case 6: return kOneWireConfSize;
    default: return 0;
    }
}

std::vector<std::uint8_t> EncodeBlockFromEditor(SettingsEditor& editor, int block, FirmwareGeneration layout,
                                                int firmwareVersion, int localHourOffset)
{
    auto vec = [](const auto& a) { return std::vector<std::uint8_t>(a.begin(), a.end()); };
    switch (block) {
    case 0: return vec(EncodeMainConf(ReadMainConfValues(editor)));
    case 1: return EncodeNetConf(layout, ReadNetConfValues(editor), firmwareVersion, localHourOffset);
    case 2: return vec(EncodeInputsConf(ReadInputsConfValues(editor), firmwareVersion));
    case 3: return vec(EncodeRs485Conf(ReadRs485ConfValues(editor), firmwareVersion));
    case 5: return vec(EncodeCanConf(FoundCan(editor), ReadCanConfValues(editor)));
    case 6: {
        OneWireConfValues v = ReadOneWireConfValues(editor);
        auto bytes = EncodeOneWireConf(v);
        // A slot whose address did not read was unticked: show it, which
        // runs the slot's rule.
        WriteOneWireConfValues(editor, v);
        return vec(bytes);
    }
    default: return {};
    }
}

bool DecodeBlockIntoEditor(SettingsEditor& editor, int block, std::span<const std::uint8_t> bytes,
                           FirmwareGeneration layout, int firmwareVersion, int localHourOffset, bool fromDevice)
{
    switch (block) {
    case 0: {
        MainConfValues v = ReadMainConfValues(editor);
        if (!DecodeMainConf(bytes, v))
            return false;
        WriteMainConfValues(editor, v);
        if (fromDevice)
            RunRulesAfterMainConf(editor);
        return true;
    }
    case 1: {
        NetConfValues v = ReadNetConfValues(editor);
        if (!DecodeNetConf(layout, bytes, firmwareVersion, localHourOffset, v))
            return false;
        WriteNetConfValues(editor, v);
        RunRulesAfterNetConf(editor);
        return true;
    }
    case 2: {
        InputsConfValues v = ReadInputsConfValues(editor);
        if (!DecodeInputsConf(bytes, firmwareVersion, v))
            return false;
        WriteInputsConfValues(editor, v);
        RunRulesAfterInputsConf(editor);
        return true;
    }
    case 3: {
        Rs485ConfValues v = ReadRs485ConfValues(editor);
        if (!DecodeRs485Conf(bytes, firmwareVersion, v))
            return false;
        WriteRs485ConfValues(editor, v);
        RunRulesAfterRs485Conf(editor);
        return true;
    }
    case 5: {
        CanConfValues v = ReadCanConfValues(editor);
        std::vector<TCANId_V3> found;
        if (!DecodeCanConf(bytes, found, v))
            return false;
        FoundCan(editor) = std::move(found);
        WriteCanConfValues(editor, v);
        RunRulesAfterCanConf(editor);
        return true;
    }
    case 6: {
        OneWireConfValues v = ReadOneWireConfValues(editor);
        if (!DecodeOneWireConf(bytes, v))
            return false;
        WriteOneWireConfValues(editor, v);
        RunRulesAfterOneWireConf(editor);
        return true;
    }
    default: return false;
    }
}

bool ReadAllBlocks(const BlockTransfer& t)
{
    std::string failure;
    const FirmwareGeneration layout = GenerationOf(t.firmwareVersion);
    const auto decode = [&](int block, std::vector<std::uint8_t> bytes) {
        DecodeBlockIntoEditor(t.editor, block, bytes, layout, t.firmwareVersion, t.localHourOffset, true);
    };
    if (ReadBlocks(t.link, t.clock, t.firmwareVersion, decode, {}, failure))
        return true;
    t.showStatus(QString::fromStdString(failure), true);
    return false;
}

std::vector<EncodedBlock> EncodeAllBlocks(SettingsEditor& editor, int firmwareVersion, int localHourOffset)
{
    std::vector<EncodedBlock> blocks;
    const FirmwareGeneration layout = GenerationOf(firmwareVersion);
    for (int block : BlocksOf(firmwareVersion))
        blocks.push_back({block, EncodeBlockFromEditor(editor, block, layout, firmwareVersion, localHourOffset)});
    return blocks;
}

int WriteAllBlocks(const BlockTransfer& t)
{
    return WriteBlocks(t.link, t.clock, EncodeAllBlocks(t.editor, t.firmwareVersion, t.localHourOffset), {});
}

QString WriteResultText(int code)
{
    switch (code) {
    case 0: return QStringLiteral("Настройки сохранены");
    case 1: return QStringLiteral("Ошибка загрузки основных настроек");
    case 2: return QStringLiteral("Ошибка загрузки настроек WiFi");
    case 3: return QStringLiteral("Ошибка загрузки настроек входов");
    case 4: return QStringLiteral("Ошибка загрузки настроек RS485");
    case 5: return QStringLiteral("Ошибка загрузки настроек CAN");
    case 6: return QStringLiteral("Ошибка загрузки настроек 1-wire");
    default: return {};
    }
}

} // namespace plendoro
