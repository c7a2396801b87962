#include "editor/binding/SettingsTransfer.h"

#include "editor/Editor.h"
#include "editor/binding/EditorBinding.h"
#include "editor/binding/FieldAccess.h"
#include "link/Protocol.h"
#include "model/Conversions.h"
#include "services/core/BlockTransfer.h"

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

std::vector<std::uint8_t> EncodeBlockFromEditor(SettingsEditor& editor, BlockId block, FirmwareGeneration layout,
                                                int firmwareVersion, int localHourOffset)
{
    auto vec = [](const auto& a) { return std::vector<std::uint8_t>(a.begin(), a.end()); };
    switch (block) {
    case BlockId::Main: return vec(EncodeMainConf(ReadMainConfValues(editor)));
    case BlockId::Net: return EncodeNetConf(layout, ReadNetConfValues(editor), firmwareVersion, localHourOffset);
    case BlockId::Inputs: return vec(EncodeInputsConf(ReadInputsConfValues(editor), firmwareVersion));
    case BlockId::Rs485: return vec(EncodeRs485Conf(ReadRs485ConfValues(editor), firmwareVersion));
    case BlockId::Can:
        // The chosen parameters travel without a field lookup; their lists
        // stand for them.
        if (editor.can)
            for (const QString& list : editor.can->ChosenListNames())
                FieldReadRecorder::Note(list);
        return vec(EncodeCanConf(FoundCan(editor), ReadCanConfValues(editor)));
    case BlockId::OneWire: {
        OneWireConfValues v = ReadOneWireConfValues(editor);
        auto bytes = EncodeOneWireConf(v);
        // A slot whose address did not read was unticked: show it, which
        // runs the slot's rule.
        WriteOneWireConfValues(editor, v);
        return vec(bytes);
    }
    }
    return {};
}

bool BlockDecodes(BlockId block, std::span<const std::uint8_t> bytes, FirmwareGeneration layout, int firmwareVersion,
                  int localHourOffset)
{
    switch (block) {
    case BlockId::Main: {
        MainConfValues v;
        return DecodeMainConf(bytes, v);
    }
    case BlockId::Net: {
        NetConfValues v;
        return DecodeNetConf(layout, bytes, firmwareVersion, localHourOffset, v);
    }
    case BlockId::Inputs: {
        InputsConfValues v;
        return DecodeInputsConf(bytes, firmwareVersion, v);
    }
    case BlockId::Rs485: {
        Rs485ConfValues v;
        return DecodeRs485Conf(bytes, firmwareVersion, v);
    }
    case BlockId::Can: {
        CanConfValues v;
        std::vector<TCANId_V3> found;
        return DecodeCanConf(bytes, found, v);
    }
    case BlockId::OneWire: {
        OneWireConfValues v;
        return DecodeOneWireConf(bytes, v);
    }
    }
    return false;
}

bool DecodeBlockIntoEditor(SettingsEditor& editor, BlockId block, std::span<const std::uint8_t> bytes,
                           FirmwareGeneration layout, int firmwareVersion, int localHourOffset, bool fromDevice)
{
    switch (block) {
    case BlockId::Main: {
        MainConfValues v = ReadMainConfValues(editor);
        if (!DecodeMainConf(bytes, v))
            return false;
        WriteMainConfValues(editor, v);
        if (fromDevice)
            RunRulesAfterMainConf(editor);
        return true;
    }
    case BlockId::Net: {
        NetConfValues v = ReadNetConfValues(editor);
        if (!DecodeNetConf(layout, bytes, firmwareVersion, localHourOffset, v))
            return false;
        WriteNetConfValues(editor, v);
        RunRulesAfterNetConf(editor);
        return true;
    }
    case BlockId::Inputs: {
        InputsConfValues v = ReadInputsConfValues(editor);
        if (!DecodeInputsConf(bytes, firmwareVersion, v))
            return false;
        WriteInputsConfValues(editor, v);
        RunRulesAfterInputsConf(editor);
        return true;
    }
    case BlockId::Rs485: {
        Rs485ConfValues v = ReadRs485ConfValues(editor);
        if (!DecodeRs485Conf(bytes, firmwareVersion, v))
            return false;
        WriteRs485ConfValues(editor, v);
        RunRulesAfterRs485Conf(editor);
        return true;
    }
    case BlockId::Can: {
        CanConfValues v = ReadCanConfValues(editor);
        std::vector<TCANId_V3> found;
        if (!DecodeCanConf(bytes, found, v))
            return false;
        FoundCan(editor) = std::move(found);
        WriteCanConfValues(editor, v);
        RunRulesAfterCanConf(editor);
        return true;
    }
    case BlockId::OneWire: {
        OneWireConfValues v = ReadOneWireConfValues(editor);
        if (!DecodeOneWireConf(bytes, v))
            return false;
        WriteOneWireConfValues(editor, v);
        RunRulesAfterOneWireConf(editor);
        return true;
    }
    }
    return false;
}

bool ReadAllBlocks(const BlockTransfer& t)
{
    std::string failure;
    const FirmwareGeneration layout = GenerationOf(t.firmwareVersion);
    const auto decode = [&](BlockId block, std::vector<std::uint8_t> bytes) {
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
    for (BlockId block : BlocksOf(firmwareVersion))
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
