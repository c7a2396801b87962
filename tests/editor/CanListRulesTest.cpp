// The CAN page's lists driven as a technician drives them: clicks on lines
// and on the round tool buttons.
#include "editor/rules/CanListRules.h"
#include "EditorHarness.h"

#include <QListWidget>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

using namespace plendoro;

namespace {

constexpr std::uint32_t kSpeed = 0x18FEF100;
constexpr std::uint32_t kHours = 0x18FEE500;

std::uint32_t Fuel(int source)
{
    return 0x18FEFC00u + static_cast<std::uint32_t>(source);
}
std::uint32_t User(int n)
{
    return 0x18FF0000u + static_cast<std::uint32_t>(n);
}

class CanListsTest : public test::EditorTest {
protected:
    CanListsTest()
    {
        BringPagesForward(editor.Field(QStringLiteral("lbCANFoundedIds")));
        pages.resize(1000, 700);
        pages.show();
    }

    QListWidget* List(const char* name) { return Field<QListWidget>(name); }
    QListWidget* Found() { return List("lbCANFoundedIds"); }
    QListWidget* Common() { return List("lbCANUsedIds"); }
    QListWidget* FuelList() { return List("lbCANUsedFuel"); }
    QListWidget* UserList() { return List("lbCANUsedUser"); }
    QToolButton* Button(const char* name) { return Field<QToolButton>(name); }
    QString Detail() { return Field<QPlainTextEdit>("memCANDetail")->toPlainText(); }

    void Load(const std::vector<std::uint32_t>& ids)
    {
        auto& found = lists.FoundCanParameters();
        found.clear();
        for (std::uint32_t id : ids)
            found.push_back({id, 0, 0, 0, 0, 0});
        lists.RebuildCanLists();
    }
    void ClickLine(QListWidget* list, int row)
    {
        ASSERT_LT(row, list->count());
        const QRect r = list->visualItemRect(list->item(row));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, r.center());
    }
    void Press(const char* button) { QTest::mouseClick(Button(button), Qt::LeftButton); }
    // Select the found line of that entry and press "Добавить".
    void Add(int entry)
    {
        ClickLine(Found(), entry);
        Press("tbCANCommonAdd");
    }
    int Selected(QListWidget* list)
    {
        const auto items = list->selectedItems();
        return items.isEmpty() ? -1 : list->row(items.first());
    }
    QStringList Texts(QListWidget* list)
    {
        QStringList t;
        for (int i = 0; i < list->count(); ++i)
            t << list->item(i)->text();
        return t;
    }
    const TCANId_V3& E(int i) { return lists.FoundCanParameters()[static_cast<std::size_t>(i)]; }

    CanListRules lists{editor};
};

TEST_F(CanListsTest, FoundLineShowsItsDetailAndOffersAdd)
{
    Load({kHours, Fuel(0x17)});
    EXPECT_EQ(Texts(Found()), (QStringList{"Моточасы", "Уровень топлива в баке(23)"}));
    EXPECT_FALSE(IsOwnEnabled("tbCANCommonAdd"));
    ClickLine(Found(), 1);
    EXPECT_TRUE(IsOwnEnabled("tbCANCommonAdd"));
    EXPECT_EQ(Detail(), QStringLiteral("Уровень топлива в баке 23 (0)\n"
                                       "RAW Data: ID0x18FEFC17, dA=0x00000000, dB=0x00000000"));
    // Any rebuild takes Add away again and empties the detail.
    lists.RebuildCanLists();
    EXPECT_FALSE(IsOwnEnabled("tbCANCommonAdd"));
    EXPECT_TRUE(Detail().isEmpty());
    EXPECT_EQ(editor.can, &lists);
}

TEST_F(CanListsTest, SixFuelLevelsAndFourUserParametersAtMost)
{
    Load({Fuel(1), Fuel(2), Fuel(3), Fuel(4), Fuel(5), Fuel(6), Fuel(7), User(1), User(2), User(3), User(4), User(5),
          kSpeed});
    for (int i = 0; i < 6; ++i)
        Add(i);
    EXPECT_EQ(FuelList()->count(), 6);
    EXPECT_TRUE(dialogs.shown.empty());
    Add(6);
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text, QStringLiteral("Нельзя добавить более 6 топливных параметров"));
    EXPECT_EQ(dialogs.shown[0].caption, QStringLiteral("Kovaltrak Plendoro"));
    EXPECT_EQ(dialogs.shown[0].icon, DialogService::Icon::Error);
    EXPECT_EQ(E(6).Used, 0);
    EXPECT_EQ(FuelList()->count(), 6);

    // Six fuel lines do not count against the user parameters.
    for (int i = 7; i < 11; ++i)
        Add(i);
    EXPECT_EQ(UserList()->count(), 4);
    EXPECT_EQ(E(10).Order, 3);
    Add(11);
    ASSERT_EQ(dialogs.shown.size(), 2u);
    EXPECT_EQ(dialogs.shown[1].text, QStringLiteral("Нельзя добавить более 4 пользовательских параметров"));
    EXPECT_EQ(E(11).Used, 0);

    // Known parameters have no limit.
    Add(12);
    EXPECT_EQ(Texts(Common()), QStringList{"Скорость, состояние педалей"});
    EXPECT_EQ(dialogs.shown.size(), 2u);
}

TEST_F(CanListsTest, RemovedFuelOrderIsReusedAndBothLinesStay)
{
    Load({Fuel(1), Fuel(2), Fuel(3), Fuel(4)});
    for (int i = 0; i < 3; ++i)
        Add(i);
    EXPECT_EQ(E(0).Order, 0);
    EXPECT_EQ(E(1).Order, 1);
    EXPECT_EQ(E(2).Order, 2);

    // Removing a line that is not the first selects the one before it.
    ClickLine(FuelList(), 1);
    EXPECT_TRUE(IsOwnEnabled("tbCANCommonDel"));
    Press("tbCANCommonDel");
    EXPECT_EQ(E(1).Used, 0);
    EXPECT_EQ(E(1).Order, 0);
    EXPECT_EQ(Selected(FuelList()), 0);
    EXPECT_TRUE(IsOwnEnabled("tbCANCommonDel"));

    Add(3);
    EXPECT_EQ(E(3).Order, 2);
    EXPECT_EQ(Texts(FuelList()),
              (QStringList{"Уровень топлива в баке(1)", "Уровень топлива в баке(3)", "Уровень топлива в баке(4)"}));

    // Adding an entry already recorded keeps its Order.
    Add(2);
    EXPECT_EQ(E(2).Order, 2);
    EXPECT_EQ(FuelList()->count(), 3);
}

TEST_F(CanListsTest, RemovingTheFirstLineLeavesNoLineSelected)
{
    Load({kSpeed, kHours});
    Add(0);
    Add(1);
    ClickLine(Common(), 0);
    ClickLine(Found(), 1);
    Press("tbCANCommonDel");
    EXPECT_EQ(E(0).Used, 0);
    EXPECT_EQ(Texts(Common()), QStringList{"Моточасы"});
    EXPECT_EQ(Selected(Common()), -1);
    EXPECT_FALSE(IsOwnEnabled("tbCANCommonDel"));
    // The found line comes back with its detail and Add.
    EXPECT_EQ(Selected(Found()), 1);
    EXPECT_TRUE(IsOwnEnabled("tbCANCommonAdd"));
    EXPECT_TRUE(Detail().startsWith(QStringLiteral("Моточасы(0)")));
    // Without a selected record line Delete does nothing.
    lists.tbCANCommonDelClick();
    EXPECT_EQ(E(1).Used, 1);
}

TEST_F(CanListsTest, WindowShiftsStopAtBothEnds)
{
    Load({User(7)});
    Add(0);
    ClickLine(UserList(), 0);
    for (const char* b : {"tbCANCommonDel", "tbCANUserLeft", "tbCANUserRight"})
        EXPECT_TRUE(IsOwnEnabled(b)) << b;
    EXPECT_EQ(Texts(UserList()), QStringList{"Неизвестный параметр; 1-6 байты"});

    Press("tbCANUserLeft");
    EXPECT_EQ(E(0).Window, 0);
    Press("tbCANUserRight");
    Press("tbCANUserRight");
    EXPECT_EQ(E(0).Window, 2);
    EXPECT_EQ(Texts(UserList()), QStringList{"Неизвестный параметр; 3-8 байты"});
    Press("tbCANUserRight");
    EXPECT_EQ(E(0).Window, 2);

    // Both lines selected again, but no click rule ran.
    EXPECT_EQ(Selected(UserList()), 0);
    EXPECT_EQ(Selected(Found()), 0);
    EXPECT_FALSE(IsOwnEnabled("tbCANCommonDel"));
    EXPECT_FALSE(IsOwnEnabled("tbCANCommonAdd"));
    EXPECT_TRUE(IsOwnEnabled("tbCANUserRight"));
    // Clicking the line that is still selected is a click all the same.
    ClickLine(UserList(), 0);
    EXPECT_TRUE(IsOwnEnabled("tbCANCommonDel"));

    Press("tbCANUserLeft");
    EXPECT_EQ(E(0).Window, 1);
    EXPECT_EQ(Texts(UserList()), QStringList{"Неизвестный параметр; 2-7 байты"});
    // A removed user entry keeps its window.
    ClickLine(UserList(), 0);
    Press("tbCANCommonDel");
    EXPECT_EQ(E(0).Window, 1);
}

TEST_F(CanListsTest, ALineSelectedInOneRecordListClearsTheOtherTwo)
{
    Load({kSpeed, Fuel(1), User(1)});
    for (int i = 0; i < 3; ++i)
        Add(i);
    ClickLine(Common(), 0);
    ClickLine(FuelList(), 0);
    EXPECT_EQ(Selected(Common()), -1);
    EXPECT_EQ(Selected(FuelList()), 0);
    EXPECT_FALSE(IsOwnEnabled("tbCANUserLeft"));
    ClickLine(UserList(), 0);
    EXPECT_EQ(Selected(FuelList()), -1);
    EXPECT_TRUE(IsOwnEnabled("tbCANUserLeft"));
    ClickLine(Common(), 0);
    EXPECT_EQ(Selected(UserList()), -1);
    EXPECT_EQ(Selected(FuelList()), -1);
    EXPECT_TRUE(IsOwnEnabled("tbCANCommonDel"));

    // Add keeps the record line that was selected and runs its rule.
    ClickLine(Found(), 0);
    Press("tbCANCommonAdd");
    EXPECT_EQ(Selected(Common()), 0);
    EXPECT_TRUE(IsOwnEnabled("tbCANCommonDel"));

    // The window's rule refresh closes the four tool buttons.
    ClickLine(UserList(), 0);
    editor.RefreshRules();
    for (const char* b : {"tbCANCommonAdd", "tbCANCommonDel", "tbCANUserLeft", "tbCANUserRight"})
        EXPECT_FALSE(IsOwnEnabled(b)) << b;
}

TEST_F(CanListsTest, ClearingEmptiesEveryListAndTheDetail)
{
    Load({kSpeed, Fuel(1), User(1)});
    for (int i = 0; i < 3; ++i)
        Add(i);
    ClickLine(Found(), 2);
    ASSERT_FALSE(Detail().isEmpty());
    lists.ClearCanParameters();
    EXPECT_TRUE(lists.FoundCanParameters().empty());
    for (QListWidget* l : {Found(), Common(), FuelList(), UserList()})
        EXPECT_EQ(l->count(), 0) << l->objectName().toStdString();
    EXPECT_TRUE(Detail().isEmpty());
    // Nothing selected: Add has nothing to add.
    lists.tbCANCommonAddClick();
    EXPECT_TRUE(lists.FoundCanParameters().empty());
}

} // namespace
