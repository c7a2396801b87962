// The 1-Wire searches through the window, against the simulated tracker's
// line.
#include "WindowFixture.h"

#include "editor/FieldLookup.h"
#include "services/OneWireCommands.h"
#include "services/OneWireSearchForm.h"

#include <QAbstractButton>
#include <QListWidget>
#include <QTimer>

using namespace windowtest;

namespace {

constexpr const char* kSensorA = "28:9F:3C:1A:05:00:00:38"; // text form 380000051A3C9F28
constexpr const char* kSensorB = "28:41:77:2B:05:00:00:B1";
constexpr const char* kKey = "01:5E:A2:13:0C:00:00:BB"; // text form BB00000C13A25E01

struct OneWireSearchTest : TransferFixture {
    std::unique_ptr<TOWSearchForm> dialog;

    void Open(std::initializer_list<const char*> line)
    {
        Start(403, false);
        std::string config = "onewire clear\nonewire_search_ms 20\n";
        for (const char* a : line)
            config += std::string("onewire ") + a + "\n";
        ASSERT_EQ(PlSim_Configure(0, config.c_str()), 0) << PlSim_LastError();
        dialog = std::make_unique<TOWSearchForm>(link, form->Worker(), form.get());
        form->AttachOneWireSearchDialog(dialog.get());
        form->Pages()->setCurrentIndex(5); // "Расширения": its buttons are on screen
    }
    void TearDown() override
    {
        if (dialog) {
            QTest::qWaitFor([this] { return !dialog->Busy(); }, 10000);
            dialog.reset();
        }
    }
    QAbstractButton* Button(const QString& name) { return form->Editor().FieldAs<QAbstractButton>(name); }
    QLineEdit* Slot(int n) { return form->Editor().FieldAs<QLineEdit>(QStringLiteral("edItempAddr%1").arg(n)); }
    QAbstractButton* SlotBox(int n) { return Button(QStringLiteral("cbItempAddr%1").arg(n)); }
    // Runs the action, which shows the modal dialog; `whileShown` runs once
    // the dialog is up. A dialog still up after 10 s is closed.
    void WithDialog(const std::function<void()>& action, const std::function<void()>& whileShown = {})
    {
        bool shown = false;
        QTimer::singleShot(0, [this, whileShown, &shown] {
            shown = QTest::qWaitFor([this] { return dialog->isVisible(); }, 5000);
            if (shown && whileShown)
                whileShown();
        });
        QTimer guard;
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout, dialog.get(), [this] { dialog->reject(); });
        guard.start(10000);
        action();
        QTest::qWaitFor([&shown] { return shown; }, 5000);
        EXPECT_TRUE(shown) << "the search dialog was not shown";
    }
};

} // namespace

TEST_F(OneWireSearchTest, OneSensorGoesIntoItsSlot)
{
    Open({kSensorA});
    SlotBox(3)->click();
    ASSERT_TRUE(IsOwnEnabled(Button(QStringLiteral("btnItempAddr3"))));
    WithDialog([this] { Button(QStringLiteral("btnItempAddr3"))->click(); });
    EXPECT_FALSE(dialog->Cancelled);
    EXPECT_EQ(Slot(3)->text(), QStringLiteral("380000051A3C9F28")) << "byte 7 first";
    EXPECT_NE(Log().find("CMD 1WIRE_SEARCH_40"), std::string::npos);
    Settle(*form);
    EXPECT_TRUE(OwnEnabled(*form, "btnReadSettings"));
}

TEST_F(OneWireSearchTest, TwoSensorsAskToRemoveOneAndTheSearchGoesOn)
{
    Open({kSensorA, kSensorB});
    SlotBox(1)->click();
    QString shown;
    WithDialog([this] { Button(QStringLiteral("btnItempAddr1"))->click(); },
               [this, &shown] {
                   QTest::qWaitFor([this] { return dialog->StatusText().startsWith(QStringLiteral("Найдено")); }, 5000);
                   shown = dialog->StatusText();
                   EXPECT_FALSE(OwnEnabled(*form, "btnReadSettings")) << "the search holds the device";
                   // One sensor taken off the line: the next search finds one.
                   PlSim_Configure(0, (std::string("onewire clear\nonewire ") + kSensorB + "\n").c_str());
               });
    EXPECT_EQ(shown, QStringLiteral("Найдено более 1 датчика температуры. Отключите лишние датчики."));
    EXPECT_FALSE(dialog->Cancelled);
    EXPECT_EQ(Slot(1)->text(), QStringLiteral("B10000052B774128"));
}

TEST_F(OneWireSearchTest, CancelAndEscapeChangeNothing)
{
    Open({});
    SlotBox(2)->click();
    Slot(2)->setText(QStringLiteral("0000000000000000"));
    WithDialog([this] { Button(QStringLiteral("btnItempAddr2"))->click(); },
               [this] {
                   EXPECT_EQ(dialog->StatusText(), QStringLiteral("Подключите датчик температуры."));
                   dialog->findChild<QAbstractButton*>(QStringLiteral("btnSearchCancel"))->click();
               });
    EXPECT_TRUE(dialog->Cancelled);
    EXPECT_EQ(Slot(2)->text(), QStringLiteral("0000000000000000"));
    Settle(*form);

    // A sensor appears, but the dialog is left with Esc first.
    PlSim_Configure(0, (std::string("onewire_search_ms 400\nonewire ") + kSensorA + "\n").c_str());
    WithDialog([this] { Button(QStringLiteral("btnItempAddr2"))->click(); },
               [this] { QTest::keyClick(dialog.get(), Qt::Key_Escape); });
    EXPECT_TRUE(dialog->Cancelled);
    Settle(*form);
    EXPECT_EQ(Slot(2)->text(), QStringLiteral("0000000000000000"));
}

TEST_F(OneWireSearchTest, ADuplicateSensorIsRefused)
{
    Open({kSensorA});
    SlotBox(2)->click();
    SlotBox(3)->click();
    Slot(2)->setText(QStringLiteral("380000051A3C9F28"));
    WithDialog([this] { Button(QStringLiteral("btnItempAddr3"))->click(); });
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text, QStringLiteral("Такой датчик уже подключен"));
    EXPECT_TRUE(Slot(3)->text().isEmpty());
}

TEST_F(OneWireSearchTest, AddWithAnEmptyFieldReadsTheKeyAndCaseCounts)
{
    Open({kKey});
    auto* readAny = Button(QStringLiteral("cbIbReadAny"));
    if (readAny->isChecked())
        readAny->click();
    auto* keys = form->Editor().FieldAs<QListWidget>(QStringLiteral("lbIbAddrList"));
    keys->clear();
    // The same key typed in lower case is another line.
    form->Editor().FieldAs<QLineEdit>(QStringLiteral("edIbAddr"))->setText(QStringLiteral("bb00000c13a25e01"));
    Button(QStringLiteral("btnIbAdd"))->click();
    ASSERT_EQ(keys->count(), 1);
    WithDialog([this] { Button(QStringLiteral("btnIbAdd"))->click(); });
    ASSERT_EQ(keys->count(), 2) << "read and added at once";
    EXPECT_EQ(keys->item(1)->text(), QStringLiteral("BB00000C13A25E01"));
    EXPECT_NE(Log().find("CMD 1WIRE_SEARCH_1\n"), std::string::npos);
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(OneWireSearchTest, TheWholeLineFillsEightSlots)
{
    std::string config = "onewire clear\n";
    Open({});
    for (int i = 0; i < 10; ++i) {
        char line[64];
        std::snprintf(line, sizeof line, "onewire 28:%02X:00:00:00:00:00:%02X\n", i, 0x10 + i);
        config += line;
    }
    ASSERT_EQ(PlSim_Configure(0, config.c_str()), 0);
    Slot(4)->setText(QStringLiteral("old"));
    dialogs.answers = {true};
    Button(QStringLiteral("btnItSearchTemp"))->click();
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text, QStringLiteral("Поиск удалит все адреса датчиков. Продолжить?"));
    EXPECT_FALSE(OwnEnabled(*form, "btnReadSettings")) << "no other command while the line is searched";
    EXPECT_FALSE(OwnEnabled(*form, "btnItSearchTemp"));
    Settle(*form);
    for (int n = 1; n <= 8; ++n) {
        EXPECT_TRUE(SlotBox(n)->isChecked()) << n;
        const QString expected = QStringLiteral("%1").arg(0x10 + n - 1, 2, 16, QLatin1Char('0')) +
                                 QStringLiteral("0000000000") +
                                 QStringLiteral("%1").arg(n - 1, 2, 16, QLatin1Char('0')) + QStringLiteral("28");
        EXPECT_EQ(Slot(n)->text(), expected.toUpper()) << n;
        // Ticked by the search with a tracker present: its "Считать" opens.
        EXPECT_TRUE(OwnEnabled(*form, QStringLiteral("btnItempAddr%1").arg(n).toLatin1().constData())) << n;
    }
    EXPECT_EQ(Slot(1)->text(), QStringLiteral("1000000000000028"));
    EXPECT_EQ(Slot(8)->text(), QStringLiteral("1700000000000728"));
    EXPECT_TRUE(OwnEnabled(*form, "btnItSearchTemp"));
    EXPECT_TRUE(OwnEnabled(*form, "btnReadSettings"));
}

TEST_F(OneWireSearchTest, AnEmptyLineLeavesTheSlotsEmptyWithoutAMessage)
{
    Open({});
    Button(QStringLiteral("btnItSearchTemp"))->click();
    Settle(*form);
    EXPECT_TRUE(dialogs.shown.empty());
    for (int n = 1; n <= 8; ++n)
        EXPECT_FALSE(SlotBox(n)->isChecked()) << n;
}

TEST_F(OneWireSearchTest, ATrackerPulledDuringTheSearchIsNoticedAfterIt)
{
    Open({kSensorA});
    ASSERT_EQ(PlSim_Configure(0, "onewire_search_ms 300"), 0);
    Button(QStringLiteral("btnItSearchTemp"))->click();
    ASSERT_TRUE(form->DeviceBusy());
    PlSim_Unplug(0);
    form->CheckDevicePresence();
    Settle(*form);
    EXPECT_EQ(Status(), QStringLiteral("Устройство не подключено"));
}
