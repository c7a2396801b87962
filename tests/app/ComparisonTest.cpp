// Comparing the editor with the tracker, a profile and the tracker's
// history, and the optional look at the changes before a write.
#include "WindowFixture.h"

#include "../editor/FormSnapshot.h"
#include "app/DifferencesForm.h"
#include "app/HistoryForm.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>

using namespace windowtest;

namespace {

struct ComparisonTest : TransferFixture {
    void Trigger(const char* action) { form->findChild<QAction*>(QLatin1String(action))->trigger(); }
    QString SaveProfile(const QString& name)
    {
        const QString path = dir.filePath(name);
        dialogs.paths = {path};
        Trigger("mSaveProfile");
        return path;
    }
    // The dialog's rows as "parameter | in the editor | on the other side".
    QStringList Rows() const
    {
        QStringList rows;
        const QTableWidget* t = form->Differences()->Table();
        for (int r = 0; r < t->rowCount(); ++r)
            rows << t->item(r, 1)->text() + QStringLiteral(" | ") + t->item(r, 2)->text() + QStringLiteral(" | ") +
                        t->item(r, 3)->text();
        return rows;
    }
    QString Snapshot() { return plendoro::test::FormSnapshot(*form->Pages()); }
};

} // namespace

TEST_F(ComparisonTest, TheTrackerComparedWithTheEditsWithoutTouchingThem)
{
    Start(403);
    Edit("edWritePeriod")->setText(QStringLiteral("77"));
    auto* method = form->Editor().FieldAs<QComboBox>(QStringLiteral("cbWriteMethod"));
    method->setCurrentIndex((method->currentIndex() + 1) % method->count());
    form->Editor().FieldAs<QListWidget>(QStringLiteral("lbIbAddrList"))->addItem(QStringLiteral("BB00000C13A25E01"));
    const QString before = Snapshot();
    Recorded recorded(*form);
    Trigger("mCompareDevice");
    Settle(*form);
    EXPECT_EQ(Status(), QStringLiteral("Настройки прибора считаны для сравнения"));
    EXPECT_TRUE(recorded.texts.contains(QStringLiteral("Чтение настроек: блок 1 из 6")));
    EXPECT_EQ(Snapshot(), before) << "the editor is as the user left it";
    ASSERT_TRUE(form->Differences() && form->Differences()->isVisible());
    EXPECT_FALSE(form->Differences()->isModal());
    const QStringList rows = Rows();
    EXPECT_EQ(rows.filter(QStringLiteral(" | 77 | 60")).size(), 1) << rows.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(rows.filter(QStringLiteral("Способ записи | ")).size(), 1) << rows.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(rows.filter(QStringLiteral("(добавлен) | BB00000C13A25E01 | —")).size(), 1)
        << rows.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(rows.size(), 3) << rows.join(QLatin1Char('\n')).toStdString();
}

TEST_F(ComparisonTest, ProfilesOfTheSameAndOfAnOlderGeneration)
{
    Start(304);
    const QString old = SaveProfile(QStringLiteral("old.kvp"));
    Start(403);
    const QString same = SaveProfile(QStringLiteral("same.kvp"));

    dialogs.paths = {same};
    Trigger("mCompareProfile");
    ASSERT_TRUE(form->Differences());
    EXPECT_TRUE(form->Differences()->NoneLabel()->isVisible());
    EXPECT_EQ(form->Differences()->NoneLabel()->text(), QStringLiteral("Различий нет"));

    const QString before = Snapshot();
    dialogs.paths = {old};
    Trigger("mCompareProfile");
    EXPECT_EQ(Snapshot(), before);
    EXPECT_EQ(form->Differences()->Table()->horizontalHeaderItem(3)->text(), QStringLiteral("В профиле"));
    const QStringList rows = Rows();
    EXPECT_EQ(rows.filter(QStringLiteral("Датчик 1 | да | нет в этой версии")).size(), 1)
        << rows.join(QLatin1Char('\n')).toStdString();
}

TEST_F(ComparisonTest, TheHistoryListsTheTrackersOwnProfilesNewestFirst)
{
    Start(403);
    EXPECT_TRUE(form->findChild<QAction*>(QStringLiteral("mDeviceHistory"))->isEnabled());
    const QString profiles = dir.filePath(QStringLiteral("KVD/Profiles"));
    QDir().mkpath(profiles);
    const QString mine = SaveProfile(QStringLiteral("KVD/Profiles/WF_05000_261205_090000.kvp"));
    for (const char* other : {"WF_05000_261201_101010.kvp", "WF_12345_261207_101010.kvp", "WF_05000_x.kvp"})
        QFile::copy(mine, profiles + QLatin1Char('/') + QLatin1String(other));
    Trigger("mDeviceHistory");
    auto* history = form->findChild<THistoryForm*>();
    ASSERT_TRUE(history);
    QStringList shown;
    for (int i = 0; i < history->List()->count(); ++i)
        shown << history->List()->item(i)->text();
    EXPECT_EQ(shown, (QStringList{QStringLiteral("05.12.2026 09:00:00"), QStringLiteral("01.12.2026 10:10:10")}));

    Edit("edWritePeriod")->setText(QStringLiteral("77"));
    history->findChild<QPushButton*>(QStringLiteral("btnHistoryLoad"))->click();
    EXPECT_EQ(Status(), QStringLiteral("Профиль успешно загружен"));
    EXPECT_NE(Edit("edWritePeriod")->text(), QStringLiteral("77"));
    history->close();

    PlSim_Unplug(0);
    form->CheckDevicePresence();
    Settle(*form);
    EXPECT_FALSE(form->findChild<QAction*>(QStringLiteral("mDeviceHistory"))->isEnabled());
}

TEST_F(ComparisonTest, ConfirmingBeforeAWriteAndCancellingSendsNothing)
{
    Start(403);
    Trigger("mConfirmChanges");
    Edit("edWritePeriod")->setText(QStringLiteral("77"));
    const Bytes stored = Stored(0);
    bool asked = false;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        if (auto* dialog = qobject_cast<TDifferencesForm*>(QApplication::activeModalWidget())) {
            asked = dialog->Table()->rowCount() == 1;
            dialog->CancelButton()->click();
        }
    });
    answer.start(20);
    form->btnWriteSettingsClick();
    Settle(*form);
    EXPECT_TRUE(asked) << "the one changed field was shown before the write";
    EXPECT_EQ(Stored(0), stored) << "nothing was written";
    EXPECT_FALSE(form->DeviceBusy());
    QFile ini(dir.filePath(QStringLiteral("Plendoro.ini")));
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    EXPECT_TRUE(ini.readAll().contains("ConfirmChanges=1"));
}
