// A tracker or a cable that misbehaves while the window reads or writes the
// settings: unplugged half-way, replies split or followed by junk, a tracker
// that answers every second request only. Each run ends with the window's
// own text, an editor whose every block is whole, the device closed and no
// file left half-written.
#include "SampleValues.h"
#include "WindowFixture.h"
#include "editor/binding/EditorBinding.h"

#include <QDirIterator>

#include <algorithm>
#include <cctype>

using namespace plendoro;
using namespace windowtest;

namespace {

constexpr int kBlocks[] = {0, 1, 2, 3, 5, 6}; // transfer order at 4.03

// Every entry under the program folder with its size, hidden ones (a
// temporary file beside its target) included.
QStringList Listing(const QString& root)
{
    QStringList entries;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        const QString name = QDir(root).relativeFilePath(info.filePath());
        entries << (info.isDir() ? name + QLatin1Char('/') : name + QLatin1Char(' ') + QString::number(info.size()));
    }
    entries.sort();
    return entries;
}

struct FaultCase {
    const char* fault;
    const char* status; // the status line at the end
    int done;           // blocks decoded or stored before the failure
    const char* log;    // what the tracker heard
};

void PrintTo(const FaultCase& c, std::ostream* os)
{
    *os << c.fault;
}

std::string CaseName(const ::testing::TestParamInfo<FaultCase>& info)
{
    std::string name = info.param.fault;
    std::replace_if(
        name.begin(), name.end(), [](char ch) { return !std::isalnum(static_cast<unsigned char>(ch)); }, '_');
    return name;
}

struct TransferFault : TransferFixture, ::testing::WithParamInterface<FaultCase> {
    std::vector<Bytes> tracker; // what the tracker holds before the command
    std::vector<Bytes> edited;  // what the editor holds before it
    QStringList files;

    // Reads the tracker, then changes every block in the editor so that
    // each block shows whether it came from the tracker or not.
    void StartEdited()
    {
        Start(403);
        ASSERT_EQ(Status(), QStringLiteral("Настройки успешно считаны"));
        SettingsEditor& editor = form->Editor();
        MainConfValues main = ReadMainConfValues(editor);
        main.edWritePeriod = "45";
        WriteMainConfValues(editor, main);
        WriteNetConfValues(editor, test::SampleNetValues());
        InputsConfValues inputs = test::SampleInputsValues();
        inputs.analog[1].edAInAverPeriod = "12"; // the sample's 32 would not pass the checks before a write
        WriteInputsConfValues(editor, inputs);
        Rs485ConfValues rs485 = ReadRs485ConfValues(editor);
        rs485.cbRS485Speed = rs485.cbRS485Speed == 3 ? 4 : 3;
        WriteRs485ConfValues(editor, rs485);
        WriteCanConfValues(editor, CanConfValues{"37"});
        WriteOneWireConfValues(editor, test::SampleOneWireValues());
        for (int block : kBlocks) {
            tracker.push_back(Stored(block));
            edited.push_back(Encoded(block));
            ASSERT_NE(tracker.back(), edited.back()) << "block " << block;
        }
        files = Listing(dir.path());
        PlSim_ClearLog(0);
        ASSERT_EQ(PlSim_SetFault(0, GetParam().fault), 0);
    }

    void ExpectDeviceClosed()
    {
        EXPECT_EQ(PlSim_IsOpen(0), 0);
        EXPECT_FALSE(link.HasHandle());
        EXPECT_FALSE(link.InUse());
    }

    // With the fault gone and the tracker back, a read works as ever: the
    // failure left neither a handle nor junk behind.
    void ExpectAReadWorksAgain()
    {
        PlSim_SetFault(0, "none");
        PlSim_Plug(0);
        form->btnReadSettingsClick();
        Settle(*form);
        EXPECT_EQ(Status(), QStringLiteral("Настройки успешно считаны"));
        for (int block : kBlocks)
            EXPECT_EQ(Encoded(block), Stored(block)) << "block " << block;
        ExpectDeviceClosed();
    }
};

using ReadFault = TransferFault;
using WriteFault = TransferFault;

} // namespace

// A failed read keeps the blocks decoded before the failing one, each
// whole, and the editor's own values in the rest; the commands stay open.
TEST_P(ReadFault, EndsWithItsTextAndWholeBlocks)
{
    const FaultCase& c = GetParam();
    ASSERT_NO_FATAL_FAILURE(StartEdited());
    Recorded recorded(*form);
    form->btnReadSettingsClick();
    Settle(*form);

    EXPECT_EQ(Status(), QString::fromUtf8(c.status));
    ASSERT_FALSE(recorded.texts.isEmpty());
    EXPECT_EQ(recorded.texts.last(), QString::fromUtf8(c.status));
    EXPECT_EQ(Log(), c.log);
    for (int i = 0; i < static_cast<int>(std::size(kBlocks)); ++i)
        EXPECT_EQ(Encoded(kBlocks[i]), i < c.done ? tracker[i] : edited[i]) << "block " << kBlocks[i];
    EXPECT_EQ(CommandStates(*form), QStringLiteral("btnReadSettings=1 btnWriteSettings=1 btnCANSearch=1 "
                                                   "btnItSearchTemp=1"));
    EXPECT_TRUE(form->Pages()->isEnabled());
    ExpectDeviceClosed();
    EXPECT_EQ(Listing(dir.path()), files);
    ExpectAReadWorksAgain();
}

// A failed write leaves the user's edits in the editor, the blocks before
// the failing one in the tracker and no file written.
TEST_P(WriteFault, EndsWithItsTextAndTheEditsKept)
{
    const FaultCase& c = GetParam();
    ASSERT_NO_FATAL_FAILURE(StartEdited());
    form->btnWriteSettingsClick();
    Settle(*form);

    EXPECT_EQ(Status(), QString::fromUtf8(c.status));
    EXPECT_EQ(Log(), c.log);
    for (int i = 0; i < static_cast<int>(std::size(kBlocks)); ++i) {
        EXPECT_EQ(Encoded(kBlocks[i]), edited[i]) << "block " << kBlocks[i];
        EXPECT_EQ(Stored(kBlocks[i]), i < c.done ? edited[i] : tracker[i]) << "block " << kBlocks[i];
    }
    ExpectDeviceClosed();
    const QStringList now = Listing(dir.path());
    if (c.done < static_cast<int>(std::size(kBlocks))) {
        EXPECT_EQ(now, files) << "nothing written, nothing left behind";
    } else {
        // The two database files and the automatic profile, whole, and
        // nothing else.
        QStringList added;
        for (const QString& entry : now)
            if (!files.contains(entry))
                added << entry;
        ASSERT_EQ(added.size(), 4) << added.join(QLatin1Char('|')).toStdString();
        EXPECT_EQ(added[0], QStringLiteral("KVD/Profiles/"));
        EXPECT_TRUE(added[1].startsWith(QStringLiteral("KVD/Profiles/WF_05000_")) &&
                    added[1].endsWith(QStringLiteral(".kvp 987")))
            << added[1].toStdString();
        EXPECT_TRUE(added[2].startsWith(QStringLiteral("KVD/WF005000-srv.kvd "))) << added[2].toStdString();
        EXPECT_TRUE(added[3].startsWith(QStringLiteral("KVD/WF005000.kvd "))) << added[3].toStdString();
    }
    ExpectAReadWorksAgain();
}

namespace {

const char* const kAllReads = "READ 0\nREAD 1\nREAD 2\nREAD 3\nREAD 5\nREAD 6\n";
const char* const kAllWrites = "WRITE 0 9\nWRITE 1 117\nWRITE 2 72\nWRITE 3 20\nWRITE 5 214\nWRITE 6 476\n";

} // namespace

INSTANTIATE_TEST_SUITE_P(
    Faults, ReadFault,
    ::testing::Values(
        // The fourth request takes the tracker away; every attempt after
        // it fails at once.
        FaultCase{"unplug_after 3", "Ошибка при считывании параметров.", 3, "READ 0\nREAD 1\nREAD 2\nREAD 3\n"},
        // A reply is read whole however it arrives within the read timeout.
        FaultCase{"split", "Настройки успешно считаны", 6, kAllReads},
        FaultCase{"split 400", "Настройки успешно считаны", 6, kAllReads},
        // The junk behind the first reply is taken for the start of the
        // second, which then reads as a bad reply: no retry.
        FaultCase{"glued", "Неверный ответ прибора.", 1, "READ 0\nREAD 1\n"},
        // Every block's first request goes unanswered; its retry is answered.
        FaultCase{"alternate", "Настройки успешно считаны", 6,
                  "READ 0\nREAD 0\nREAD 1\nREAD 1\nREAD 2\nREAD 2\nREAD 3\nREAD 3\nREAD 5\nREAD 5\nREAD 6\nREAD 6\n"}),
    CaseName);

INSTANTIATE_TEST_SUITE_P(
    Faults, WriteFault,
    ::testing::Values(
        FaultCase{"unplug_after 2", "Ошибка загрузки настроек входов", 2, "WRITE 0 9\nWRITE 1 117\nWRITE 2 72\n"},
        FaultCase{"split", "Настройки сохранены", 6, kAllWrites},
        FaultCase{"split 400", "Настройки сохранены", 6, kAllWrites},
        // The tracker stores block 1, but its acknowledgement reads as a
        // bad reply behind the first one's junk.
        FaultCase{"glued", "Ошибка загрузки настроек WiFi", 2, "WRITE 0 9\nWRITE 1 117\n"},
        FaultCase{"alternate", "Настройки сохранены", 6,
                  "WRITE 0 9\nWRITE 0 9\nWRITE 1 117\nWRITE 1 117\nWRITE 2 72\nWRITE 2 72\nWRITE 3 20\nWRITE 3 20\n"
                  "WRITE 5 214\nWRITE 5 214\nWRITE 6 476\nWRITE 6 476\n"}),
    CaseName);
