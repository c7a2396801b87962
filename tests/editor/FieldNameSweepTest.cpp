// Every field name the program looks up is on the pages. The program skips a
// name it does not find, so a misspelt or renamed field would silently drop
// a value from the blocks, the profile or the command file, or a check
// before writing. The sweep runs every path that reads or fills the pages by
// name, at each firmware generation's versions, with the full editor.
#include "FilesFixture.h"
#include "common/FirmwareTable.h"
#include "editor/Validation.h"
#include "editor/binding/SettingsTransfer.h"

using namespace files_test;

namespace {

class FieldNameSweep : public FilesFixture, public ::testing::WithParamInterface<int> {
protected:
    // Reports the misses of one step by the step's name; the harness would
    // only report them all at the end.
    void ExpectNoMisses(const std::string& step)
    {
        const QStringList misses = TakeFieldMisses();
        EXPECT_TRUE(misses.isEmpty()) << step << " looked up names not on the pages: "
                                      << Utf8(misses.join(QStringLiteral(", ")));
    }
};

TEST_P(FieldNameSweep, EveryNameTheProgramLooksUpIsOnThePages)
{
    const int firmware = GetParam();
    constexpr int kHourOffset = 3;
    Attach(firmware);
    ExpectNoMisses("version gate and rule refresh");
    PressDefaults();
    ExpectNoMisses("general defaults");

    const FirmwareGeneration layout = GenerationOf(firmware);
    const std::vector<BlockId> blocks = BlocksOf(firmware);
    ASSERT_FALSE(blocks.empty());
    for (BlockId id : blocks) {
        const BlockId block = id;
        const int number = static_cast<int>(id);
        const std::vector<std::uint8_t> bytes = EncodeBlockFromEditor(editor, block, layout, firmware, kHourOffset);
        EXPECT_EQ(bytes.size(), BlockSize(block, firmware)) << "block " << number;
        ExpectNoMisses("encoding block " + std::to_string(number));
        for (bool fromDevice : {true, false}) {
            EXPECT_TRUE(DecodeBlockIntoEditor(editor, block, bytes, layout, firmware, kHourOffset, fromDevice))
                << "block " << number;
            ExpectNoMisses("decoding block " + std::to_string(number) + (fromDevice ? " from the device" : ""));
        }
    }

    ASSERT_TRUE(SaveProfile(editor, Context(firmware), 123, false));
    ExpectNoMisses("saving a profile");
    const QStringList profiles = QDir(ProfilesFolder()).entryList(QDir::Files);
    ASSERT_EQ(profiles.size(), 1);
    EXPECT_TRUE(LoadProfile(editor, Context(firmware), ProfilesFolder() + profiles.front()));
    ExpectNoMisses("loading a profile");

    dialogs.paths = {tempDir.path() + QStringLiteral("/cmd")};
    EXPECT_TRUE(ExportCommandFile(editor, Context(firmware)));
    ExpectNoMisses("exporting the command file");

    // The defaults pass every check, so every check has run and looked its
    // fields up.
    EXPECT_TRUE(ValidateSettings(editor));
    ExpectNoMisses("checking before writing");
}

INSTANTIATE_TEST_SUITE_P(Firmware, FieldNameSweep, ::testing::Values(250, 304, 305, 403));

} // namespace
