// The block binding against the full editor: what decoding each block does
// to the pages, checked against a record taken before the binding last
// changed shape, every block's bytes surviving a decode and an encode, every
// field the tables name being on the pages, and the fields that are not set
// back as plain values.
#include "BindingStateDump.h"
#include "editor/binding/EditorBinding.h"

#include <QCoreApplication>
#include <QFile>
#include <QRadioButton>

#include <gtest/gtest.h>

using namespace binding_dump;

namespace {

const QString kGolden = QStringLiteral(PLENDORO_TEST_DATA "/block-binding.golden");

std::string ReadAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll().toStdString() : std::string();
}

// The first line where the two records part, with its number.
std::string FirstDifference(const std::string& expected, const std::string& actual)
{
    std::istringstream e(expected), a(actual);
    std::string le, la;
    for (int line = 1;; ++line) {
        const bool moreE = static_cast<bool>(std::getline(e, le));
        const bool moreA = static_cast<bool>(std::getline(a, la));
        if (!moreE && !moreA)
            return "no line differs";
        if (!moreE || !moreA || le != la)
            return "line " + std::to_string(line) + "\n  recorded: " + (moreE ? le : "<end>") +
                   "\n  now:      " + (moreA ? la : "<end>");
    }
}

} // namespace

TEST(BlockBinding, DecodingEveryBlockLeavesThePagesAsRecorded)
{
    const std::string expected = ReadAll(kGolden);
    const std::string actual = RecordAll();
    if (actual == expected)
        return;
    // Left beside the test program for review; the record itself changes
    // only through scripts/update-binding-golden.sh.
    const QString out = QCoreApplication::applicationDirPath() + QStringLiteral("/block-binding.actual");
    QFile f(out);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(QByteArray::fromStdString(actual));
    FAIL() << (expected.empty() ? "no record at " + kGolden.toStdString() + "\n" : std::string())
           << "the editor no longer decodes as recorded, first at " << FirstDifference(expected, actual)
           << "\nwhole record now in " << out.toStdString();
}

TEST(BlockBinding, EveryBlockEncodesBackToTheBytesItWasDecodedFrom)
{
    for (int firmware : kFirmwares) {
        SCOPED_TRACE(firmware);
        Bench bench(firmware);
        const FirmwareGeneration layout = GenerationOf(firmware);
        for (BlockId block : BlocksOf(firmware)) {
            SCOPED_TRACE(static_cast<int>(block));
            const Bytes bytes = PlausibleBlock(block, firmware);
            ASSERT_EQ(bytes.size(), BlockSize(block, firmware));
            ASSERT_TRUE(DecodeBlockIntoEditor(bench.editor, block, bytes, layout, firmware, kHourOffset, true));
            EXPECT_EQ(Hex(EncodeBlockFromEditor(bench.editor, block, layout, firmware, kHourOffset)), Hex(bytes));
        }
        EXPECT_TRUE(bench.misses.empty());
    }
}

TEST(BlockBinding, EveryFieldTheTablesNameIsOnThePages)
{
    const BlockId all[] = {BlockId::Main,  BlockId::Net, BlockId::Inputs,
                           BlockId::Rs485, BlockId::Can, BlockId::OneWire};
    QStringList names;
    for (BlockId block : all)
        names += BoundFieldNames(block);
    // Families are spelled out, and only the fields read in two ways are
    // named twice.
    for (const char* name : {"cbAIn2AsDigital", "cbIn8Send", "rbIn3PCount", "rbIn8Motion", "edSendTime3", "rbManualIp",
                             "edLLSAddr8", "edItempAddr8", "lbIbAddrList", "edCANPeriodSave"})
        EXPECT_TRUE(names.contains(QLatin1String(name))) << name;
    QStringList twice;
    for (const QString& name : names) {
        EXPECT_FALSE(name.contains(QLatin1Char('%'))) << name.toStdString();
        if (names.count(name) > 1 && !twice.contains(name))
            twice << name;
    }
    twice.sort();
    EXPECT_EQ(twice, (QStringList{"GlonassMode", "cbSendMethod", "edItempWritePeriod14", "edItempWritePeriod58"}));

    for (int firmware : kFirmwares) {
        SCOPED_TRACE(firmware);
        Bench bench(firmware);
        for (const QString& name : names)
            bench.editor.Field(name);
        EXPECT_TRUE(bench.misses.empty()) << *bench.misses.begin();
        bench.editor.Field(QStringLiteral("edNoSuchField"));
        EXPECT_EQ(bench.misses, std::set<std::string>{"edNoSuchField"}) << "the miss handler must see a lookup";
    }
}

TEST(BlockBinding, FieldsThatAreNotSetBackAsPlainValues)
{
    Bench bench(403);
    SettingsEditor& editor = bench.editor;
    auto checked = [&](const char* name) { return editor.FieldAs<QAbstractButton>(QLatin1String(name))->isChecked(); };

    // The address choice checks one of its pair, whatever the other says.
    NetConfValues net = ReadNetConfValues(editor);
    net.rbDHCPIp = false;
    net.rbManualIp = false;
    WriteNetConfValues(editor, net);
    EXPECT_TRUE(checked("rbManualIp"));
    EXPECT_FALSE(checked("rbDHCPIp"));
    net.rbDHCPIp = true;
    net.rbManualIp = true;
    WriteNetConfValues(editor, net);
    EXPECT_TRUE(checked("rbDHCPIp"));
    EXPECT_FALSE(checked("rbManualIp"));

    // The send method list's size is read for the decoder, never set.
    auto* sendMethod = editor.FieldAs<QComboBox>(QStringLiteral("cbSendMethod"));
    const int items = sendMethod->count();
    net = ReadNetConfValues(editor);
    EXPECT_EQ(net.cbSendMethodItems, items);
    net.cbSendMethodItems = items - 1;
    WriteNetConfValues(editor, net);
    EXPECT_EQ(sendMethod->count(), items);

    // An input's mode is one of five buttons; a position outside them
    // leaves the buttons as they are.
    InputsConfValues inputs = ReadInputsConfValues(editor);
    inputs.input[2].rbInMode = kModeFreq;
    WriteInputsConfValues(editor, inputs);
    EXPECT_TRUE(checked("rbIn3Freq"));
    for (int outside : {-1, 5}) {
        inputs.input[2].rbInMode = outside;
        WriteInputsConfValues(editor, inputs);
        EXPECT_TRUE(checked("rbIn3Freq")) << outside;
        EXPECT_EQ(ReadInputsConfValues(editor).input[2].rbInMode, kModeFreq);
    }

    // Enabled flags and list items travel as they are.
    Rs485ConfValues rs485 = ReadRs485ConfValues(editor);
    rs485.GlonassModeEnabled = !rs485.GlonassModeEnabled;
    WriteRs485ConfValues(editor, rs485);
    EXPECT_EQ(IsOwnEnabled(editor.Field(QStringLiteral("GlonassMode"))), rs485.GlonassModeEnabled);
    EXPECT_EQ(ReadRs485ConfValues(editor).GlonassModeEnabled, rs485.GlonassModeEnabled);
    OneWireConfValues oneWire = ReadOneWireConfValues(editor);
    oneWire.lbIbAddrList = {"0000000000000A01", "0000000000000B01"};
    oneWire.edItempWritePeriod58Enabled = true;
    WriteOneWireConfValues(editor, oneWire);
    EXPECT_EQ(ReadOneWireConfValues(editor).lbIbAddrList, oneWire.lbIbAddrList);
    EXPECT_TRUE(IsOwnEnabled(editor.Field(QStringLiteral("edItempWritePeriod58"))));

    // The accelerometer values have no field; the editor holds them.
    MainConfValues main = ReadMainConfValues(editor);
    main.dX = 7;
    main.dY = -8;
    main.dZ = 9;
    WriteMainConfValues(editor, main);
    EXPECT_EQ(editor.Accelerometer(), (AccelerometerValues{7, -8, 9}));
    editor.SetAccelerometer({1, 2, 3});
    main = ReadMainConfValues(editor);
    EXPECT_EQ(std::vector<int>({main.dX, main.dY, main.dZ}), std::vector<int>({1, 2, 3}));
    EXPECT_TRUE(bench.misses.empty());
}
