// Profiles written from and read into the real editor: names, versions by
// firmware, refusals and warnings, record-by-record loading, bad files and
// a full round trip.
#include "FilesFixture.h"
#include "FormSnapshot.h"
#include "SampleValues.h"

#include "editor/binding/EditorBinding.h"
#include "editor/binding/SettingsTransfer.h"
#include "files/core/Profile.h"

#include <QLabel>
#include <QRadioButton>
#include <QRandomGenerator>
#include <functional>

using namespace files_test;

namespace {

const QString kOlder =
    QStringLiteral("Загруженный профиль создан для более старой версии прошивки. Проверьте настройки.");
const QString kNewer =
    QStringLiteral("Версия прошивки прибора меньше чем версия прошивки в профиле. Невозможно загрузить профиль.");
const QString kAutomatic = QStringLiteral("WF_00123_240305_140709.kvp");

class FilesProfiles : public FilesFixture {
protected:
    // A configuration unlike the defaults in every stored field, set as a
    // device read would set it.
    void Configure()
    {
        WriteMainConfValues(editor, {.cbWriteMethod = 1,
                                     .edWritePeriod = "45",
                                     .cbWideRecord = true,
                                     .cbStaticNav = false,
                                     .intGlonass = 2,
                                     .dX = 3,
                                     .dY = -4,
                                     .dZ = 5});

        WriteNetConfValues(editor, plendoro::test::SampleNetValues());
        RunRulesAfterNetConf(editor);

        const InputsConfValues i = plendoro::test::SampleInputsValues();
        WriteInputsConfValues(editor, i);
        RunRulesAfterInputsConf(editor);

        WriteRs485ConfValues(editor, {.cbLLSAddr = {true, false, true, false, false, false, false, true},
                                      .edLLSAddr = {"11", "0", "13", "0", "0", "0", "0", "18"},
                                      .edLLSWritePeriod14 = "30",
                                      .edLLSWritePeriod58 = "40",
                                      .cbRS485Speed = 1,
                                      .cbRS485EnableGlonass = true,
                                      .GlonassMode = 2,
                                      .GlonassModeEnabled = true});
        RunRulesAfterRs485Conf(editor);

        editor.can->FoundCanParameters() = {{0x18FEF100, 1, 0, 0, 0, 0},
                                            {0x18FEFC01, 2, 1, 0, 0, 0},
                                            {0x18FF0001, 3, 0, 2, 0, 0},
                                            {0x18FEE500, 0, 0, 0, 0, 0}};
        WriteCanConfValues(editor, {.edCANPeriodSave = "15"});
        RunRulesAfterCanConf(editor);

        WriteOneWireConfValues(editor, plendoro::test::SampleOneWireValues());
        RunRulesAfterOneWireConf(editor);
    }

    // Changes every field there is, as far as each field and its rules allow.
    void Scramble()
    {
        QList<QRadioButton*> checkedRadios;
        for (QWidget* w : pages.findChildren<QWidget*>()) {
            if (w->objectName().isEmpty() || w->objectName().startsWith(QLatin1String("qt_")))
                continue;
            if (auto* e = qobject_cast<QLineEdit*>(w)) {
                // Same length at most, so a length limit cannot undo it.
                QString t = e->text();
                if (t.isEmpty())
                    t = QStringLiteral("9");
                else
                    t.back() = t.back() == QLatin1Char('9') ? QLatin1Char('8') : QLatin1Char('9');
                e->setText(t);
            } else if (auto* t = qobject_cast<QTimeEdit*>(w)) {
                t->setTime(t->time().addSecs(61 * 60));
            } else if (auto* n = qobject_cast<QSpinBox*>(w)) {
                n->setValue(n->value() == n->maximum() ? n->minimum() : n->value() + 1);
            } else if (auto* c = qobject_cast<QComboBox*>(w); c && c->count() > 0) {
                c->setCurrentIndex((c->currentIndex() + 1) % c->count());
            } else if (auto* r = qobject_cast<QRadioButton*>(w)) {
                if (r->isChecked())
                    checkedRadios << r;
            } else if (auto* b = qobject_cast<QAbstractButton*>(w); b && b->isCheckable()) {
                b->setChecked(!b->isChecked());
            } else if (auto* l = qobject_cast<QListWidget*>(w)) {
                l->clear();
            }
        }
        // Each group moves to its next button once.
        for (QRadioButton* r : checkedRadios) {
            const auto group = r->parentWidget()->findChildren<QRadioButton*>(Qt::FindDirectChildrenOnly);
            group[(group.indexOf(r) + 1) % group.size()]->setChecked(true);
        }
        editor.SetAccelerometer({});
        editor.can->ClearCanParameters();
    }

    QString Save(int firmware)
    {
        EXPECT_TRUE(SaveProfile(editor, Context(firmware), 123, false));
        return ProfilesFolder() + kAutomatic;
    }
};

QByteArray Le32(std::uint32_t v)
{
    QByteArray b;
    for (int i = 0; i < 4; ++i)
        b.append(static_cast<char>((v >> (8 * i)) & 0xFF));
    return b;
}

} // namespace

TEST_F(FilesProfiles, AutomaticSaveHoldsTheBlocksAsTheDeviceWriteEncodesThem)
{
    Attach(403);
    Configure();
    ASSERT_TRUE(SaveProfile(editor, Context(403), 123, false));
    EXPECT_TRUE(status.empty()) << "the automatic save reports only failures";
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_EQ(FilesIn(ProfilesFolder()), QStringList{kAutomatic});

    const QByteArray file = ReadFile(ProfilesFolder() + kAutomatic);
    QByteArray expected("Kovaltrak Plendoro Profile V4.3");
    for (BlockId block : BlocksOf(403)) {
        const auto bytes = EncodeBlockFromEditor(editor, block, FirmwareGeneration::Third, 403, 3);
        expected += Le32(static_cast<std::uint32_t>(block)) + Le32(static_cast<std::uint32_t>(bytes.size())) +
                    QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
    }
    EXPECT_EQ(file.size(), 987);
    EXPECT_EQ(file, expected);
}

TEST_F(FilesProfiles, MenuSaveRunsTheChecksThenWritesTheNewestVersionWithoutADevice)
{
    Attach(403);
    PressDefaults(); // leaves the password empty, which the checks refuse
    const QString path = tempDir.path() + QStringLiteral("/menu.kvp");
    dialogs.paths = {path};
    mSaveProfileClick(editor, Context(403, 0));
    EXPECT_TRUE(dialogs.shown.empty()) << "no dialog after a failed check";
    EXPECT_TRUE(status.empty());

    Edit("edPassword")->setText(QStringLiteral("12345678"));
    mSaveProfileClick(editor, Context(403, 0));
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].kind, QStringLiteral("save"));
    EXPECT_EQ(dialogs.shown[0].text, ProfilesFolder()) << "the save dialog starts in the profile folder";
    EXPECT_EQ(fileDialogs.filters, QStringList{QStringLiteral("Kovaltrak Plendoro Profiles (*.kvp) | kvp")});
    const QByteArray file = ReadFile(path);
    EXPECT_EQ(file.size(), 987);
    EXPECT_TRUE(file.startsWith("Kovaltrak Plendoro Profile V4.3"));
    EXPECT_EQ(status, (std::vector<StatusLine>{{QStringLiteral("Профиль успешно сохранен"), false}}));
}

TEST_F(FilesProfiles, SaveDialogKeepsItsFirstFolderAndCancelWritesNothing)
{
    Attach(403);
    dialogs.paths = {QString()};
    EXPECT_FALSE(SaveProfile(editor, Context(403, 0), 0, true));
    EXPECT_TRUE(status.empty()) << "a cancelled dialog says nothing";

    const QString first = ProfilesFolder();
    kvdFolder = tempDir.path() + QStringLiteral("/other/");
    dialogs.paths = {tempDir.path() + QStringLiteral("/second.kvp")};
    EXPECT_TRUE(SaveProfile(editor, Context(403, 0), 0, true));
    ASSERT_EQ(dialogs.shown.size(), 2u);
    EXPECT_EQ(dialogs.shown[0].text, first);
    EXPECT_EQ(dialogs.shown[1].text, first) << "the dialog is pointed at the folder only while it has none";
}

TEST_F(FilesProfiles, OlderLayoutsLoadBackSilentlyAndWarnUnderNewerFirmware)
{
    struct Case {
        int firmware;
        qsizetype size;
        const char* header;
        int newer;
    };
    for (const Case& c : {Case{302, 497, "Kovaltrak Plendoro Profile V3.0", 305},
                          Case{250, 272, "Kovaltrak Plendoro Profile V1.0", 300}}) {
        SCOPED_TRACE(c.firmware);
        dialogs.shown.clear();
        Attach(c.firmware);
        Configure();
        const QString path = Save(c.firmware);
        const QByteArray file = ReadFile(path);
        EXPECT_EQ(file.size(), c.size);
        EXPECT_TRUE(file.startsWith(c.header));

        PressDefaults();
        ASSERT_TRUE(LoadProfile(editor, Context(c.firmware), path));
        EXPECT_TRUE(dialogs.shown.empty());
        EXPECT_EQ(status.back(), (StatusLine{QStringLiteral("Профиль успешно загружен"), false}));
        EXPECT_EQ(Edit("edWritePeriod")->text(), QStringLiteral("45"));

        Attach(c.newer);
        ASSERT_TRUE(LoadProfile(editor, Context(c.newer), path));
        ASSERT_EQ(dialogs.shown.size(), 1u);
        EXPECT_EQ(dialogs.shown[0].caption, kAppCaption);
        EXPECT_EQ(dialogs.shown[0].text, kOlder);
        EXPECT_EQ(dialogs.shown[0].icon, DialogService::Icon::Warning);
        EXPECT_EQ(status.back(), (StatusLine{QStringLiteral("Профиль успешно загружен"), false}));
    }
}

TEST_F(FilesProfiles, NewerProfilesAreRefusedAndTheEditorKeptAsItWas)
{
    Attach(305);
    Configure();
    const QString v35 = Save(305);
    QFile::rename(v35, tempDir.path() + QStringLiteral("/v35.kvp"));
    Attach(403);
    const QString v43 = Save(403);

    struct Case {
        QString path;
        int firmware;
    };
    for (const Case& c : {Case{tempDir.path() + QStringLiteral("/v35.kvp"), 304}, Case{v43, 402}}) {
        SCOPED_TRACE(c.firmware);
        Attach(c.firmware);
        PressDefaults();
        dialogs.shown.clear();
        status.clear();
        const Snapshot before = Take();
        EXPECT_FALSE(LoadProfile(editor, Context(c.firmware), c.path));
        ASSERT_EQ(dialogs.shown.size(), 1u);
        EXPECT_EQ(dialogs.shown[0].text, kNewer);
        EXPECT_EQ(dialogs.shown[0].icon, DialogService::Icon::Error);
        EXPECT_TRUE(status.empty());
        EXPECT_EQ(Diff(before, Take()), "");
    }
}

// A file that fails half-way must not leave the user's edits half
// overwritten: nothing reaches the editor before the whole file checked out.
TEST_F(FilesProfiles, AFailedLoadLeavesEveryFieldAndListAsItWas)
{
    const struct {
        const char* what;
        std::function<void(QByteArray&)> spoil;
    } cases[] = {
        {"cut right after the block-5 record", [](QByteArray& f) { f.truncate(981 - 8 - 476); }},
        {"block 1 with the first generation's length", [](QByteArray& f) { f.replace(31 + 8 + 9 + 4, 4, Le32(108)); }},
    };
    for (const auto& c : cases) {
        Attach(305);
        Configure();
        const QString path = Save(305);
        QByteArray file = ReadFile(path);
        ASSERT_EQ(file.size(), 981);
        c.spoil(file);
        WriteFile(path, file);

        PressDefaults();
        Edit("edWritePeriod")->setText(QStringLiteral("77")); // an unsaved edit
        const QString before = plendoro::test::FormSnapshot(pages);
        EXPECT_FALSE(LoadProfile(editor, Context(305), path)) << c.what;
        EXPECT_EQ(status.back(), (StatusLine{QStringLiteral("Ошибка загрузки профиля"), true})) << c.what;
        EXPECT_EQ(plendoro::test::FormSnapshot(pages), before) << c.what;
    }
}

TEST_F(FilesProfiles, BadFilesGetAClearMessageAndChangeNothing)
{
    Attach(403);
    Configure();
    const QString good = Save(403);
    const QByteArray header("Kovaltrak Plendoro Profile V4.3");
    QByteArray random(1000, '\0');
    QRandomGenerator gen(7);
    for (char& c : random)
        c = static_cast<char>(gen.bounded(256));
    QByteArray huge = header + Le32(0) + Le32(0xFFFFFFF0u) + QByteArray(9, '\x01');
    QByteArray wrongFirstId = ReadFile(good);
    wrongFirstId.replace(31, 4, Le32(1));
    QDir().mkpath(tempDir.path() + QStringLiteral("/folder.kvp"));

    const QString unknown = QStringLiteral("Неизвестная версия файла профиля");
    const QString cannotOpen = QStringLiteral("Не удалось открыть профиль");
    const QString loadFailed = QStringLiteral("Ошибка загрузки профиля");
    struct Case {
        const char* name;
        QByteArray bytes; // written unless the name is a folder or missing
        QString message;
    };
    const std::vector<Case> cases = {
        {"short.kvp", header.left(20), unknown},   {"empty.kvp", QByteArray(), unknown},
        {"random.kvp", random, unknown},           {"huge.kvp", huge, loadFailed},
        {"firstid.kvp", wrongFirstId, loadFailed}, {"folder.kvp", {}, cannotOpen},
        {"missing.kvp", {}, cannotOpen},
    };
    PressDefaults();
    const Snapshot before = Take();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = tempDir.path() + QLatin1Char('/') + QLatin1String(c.name);
        if (c.message != cannotOpen)
            WriteFile(path, c.bytes);
        status.clear();
        EXPECT_FALSE(LoadProfile(editor, Context(403), path));
        EXPECT_EQ(status, (std::vector<StatusLine>{{c.message, true}}));
        EXPECT_EQ(Diff(before, Take()), "");
        EXPECT_TRUE(dialogs.shown.empty());
    }
}

TEST_F(FilesProfiles, RoundTripRestoresEveryStoredField)
{
    Attach(403);
    Configure();
    const Snapshot saved = Take();
    const QString path = Save(403);
    WriteFile(path, ReadFile(path) + QByteArray(5000, '\xAB')); // bytes after the last record do not matter

    Scramble();
    const Snapshot scrambled = Take();
    ASSERT_TRUE(LoadProfile(editor, Context(403), path));
    const Snapshot loaded = Take();

    // Fields no settings block carries: the control-point page and its
    // transfer boxes, the CAN search length; and the threshold of an analog
    // input not used as a digital one, which the block does not keep.
    const auto notStored = [](const std::string& name) {
        return name.find("CP") != std::string::npos || name == "edCANSearchLen" || name == "edAIn2DigLevel";
    };
    std::string lost, unchanged;
    for (const auto& [name, value] : saved) {
        if (notStored(name))
            continue;
        if (loaded.at(name) != value)
            lost += name + ": " + value + " -> " + loaded.at(name) + "\n";
        // Boxes may stay as they were (the input modes clear the sending
        // boxes, a group's other buttons stay off); every field holding a
        // text, a position, a number or a time must have moved.
        // Past the editor: the held values dX, dY, dZ and the found CAN
        // identifiers are in the snapshot but are no fields.
        QWidget* w = FindFieldByName(QString::fromStdString(name), &pages);
        const bool valueField =
            qobject_cast<QLineEdit*>(w) || qobject_cast<QComboBox*>(w) || qobject_cast<QAbstractSpinBox*>(w);
        if (valueField && scrambled.at(name) == value)
            unchanged += name + " ";
    }
    EXPECT_EQ(lost, "");
    EXPECT_EQ(unchanged, "") << "the scramble must move these for the comparison to mean anything";
    EXPECT_NE(scrambled.at("FoundCanParameters"), saved.at("FoundCanParameters"));
    EXPECT_NE(scrambled.at("lbIbAddrList"), saved.at("lbIbAddrList"));
    EXPECT_NE(scrambled.at("rbIn3Count"), saved.at("rbIn3Count"));
}

TEST_F(FilesProfiles, LoadDoesNotRunTheRecordingMethodRule)
{
    Attach(403);
    auto* caption = pages.findChild<QLabel*>(QStringLiteral("lblWritePeriod"));
    ASSERT_NE(caption, nullptr);
    Choose("cbWriteMethod", 1);
    const QString timed = caption->text();
    const QString path = Save(403);
    Choose("cbWriteMethod", 0);
    const QString adaptive = caption->text();
    ASSERT_NE(timed, adaptive);

    ASSERT_TRUE(LoadProfile(editor, Context(403), path));
    EXPECT_EQ(List("cbWriteMethod")->currentIndex(), 1);
    EXPECT_EQ(caption->text(), adaptive) << "the caption rule runs after a device read only";
}

TEST_F(FilesProfiles, FailedSaveKeepsTheEarlierProfile)
{
    Attach(403);
    // A file that cannot be created fails as one that cannot be written.
    dialogs.paths = {tempDir.path() + QStringLiteral("/no/such/folder/p.kvp")};
    EXPECT_FALSE(SaveProfile(editor, Context(403, 0), 0, true));
    EXPECT_EQ(status, (std::vector<StatusLine>{{QStringLiteral("Ошибка при сохранении профиля"), true}}));
    status.clear();

    const QString path = ProfilesFolder() + kAutomatic;
    QDir().mkpath(ProfilesFolder());
    WriteFile(path, "good profile");

    bool ok = true;
    {
        FileSizeLimit limit(100);
        ok = SaveProfile(editor, Context(403), 123, true);
    }
    EXPECT_FALSE(ok);
    EXPECT_EQ(status, (std::vector<StatusLine>{{QStringLiteral("Ошибка при сохранении профиля"), true}}));
    EXPECT_EQ(ReadFile(path), QByteArray("good profile"));
    EXPECT_EQ(FilesIn(ProfilesFolder()), QStringList{kAutomatic}) << "no partial file left behind";
}

TEST_F(FilesProfiles, OpenDialogStartsInTheProfileFolderEveryTime)
{
    Attach(403);
    Configure();
    const QString path = Save(403);
    PressDefaults();

    dialogs.paths = {QString()};
    mLoadProfileClick(editor, Context(403));
    EXPECT_TRUE(status.empty()) << "cancelled: nothing loaded";
    EXPECT_EQ(Edit("edWritePeriod")->text(), QStringLiteral("5"));

    const QString first = ProfilesFolder();
    kvdFolder = tempDir.path() + QStringLiteral("/other/");
    dialogs.paths = {path};
    mLoadProfileClick(editor, Context(403));
    ASSERT_EQ(dialogs.shown.size(), 2u);
    EXPECT_EQ(dialogs.shown[0].kind, QStringLiteral("open"));
    EXPECT_EQ(dialogs.shown[0].text, first);
    EXPECT_EQ(dialogs.shown[1].text, ProfilesFolder());
    EXPECT_EQ(fileDialogs.filters.last(), QStringLiteral("Kovaltrak Tracker Profiles (*.kvp)"));
    EXPECT_EQ(status.back(), (StatusLine{QStringLiteral("Профиль успешно загружен"), false}));
    EXPECT_EQ(Edit("edWritePeriod")->text(), QStringLiteral("45"));
}

TEST_F(FilesProfiles, ANameTypedWithoutExtensionOpensTheProfile)
{
    Attach(403);
    Configure();
    const QString saved = Save(403);
    const QString typed = ProfilesFolder() + QStringLiteral("abc");
    ASSERT_TRUE(QFile::rename(saved, typed + QStringLiteral(".kvp")));
    PressDefaults();

    dialogs.paths = {typed};
    mLoadProfileClick(editor, Context(403));
    EXPECT_EQ(status.back(), (StatusLine{QStringLiteral("Профиль успешно загружен"), false}));
    EXPECT_EQ(Edit("edWritePeriod")->text(), QStringLiteral("45"));
}

TEST_F(FilesProfiles, SavingKeepsTheChosenKeySoItCanStillBeDeleted)
{
    Attach(403);
    Configure();
    auto* keys = Field<QListWidget>("lbIbAddrList");
    keys->setCurrentRow(1);
    ASSERT_TRUE(keys->item(1)->isSelected());
    Save(403);
    Button("btnIbDel")->click();
    ASSERT_EQ(keys->count(), 1);
    EXPECT_EQ(keys->item(0)->text(), QStringLiteral("0000000000000A01"));
}
