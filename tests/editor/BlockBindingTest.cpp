// The block binding against the full editor: what decoding each block does
// to the pages, checked against a record taken before the binding last
// changed shape, and every block's bytes surviving a decode and an encode.
#include "BindingStateDump.h"

#include <QCoreApplication>
#include <QFile>

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
