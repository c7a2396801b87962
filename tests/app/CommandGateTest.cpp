// One gate for every device command: a command refused while another holds
// the tracker changes nothing but the status line, and the end of a command
// leaves every button as the presence display and the page rules set it.
#include "WindowFixture.h"

#include "services/CalForm.h"
#include "services/DeviceGate.h"
#include "services/OneWireCommands.h"
#include "services/OneWireSearchForm.h"

#include <QAbstractButton>
#include <QAction>

using namespace windowtest;

namespace {

const QString kWait = QStringLiteral("Дождитесь окончания операции с прибором");

struct CommandGateTest : TransferFixture {
    std::unique_ptr<TOWSearchForm> dialog;
    std::unique_ptr<TCalForm> cal;
    int dialogOpenings = 0;

    // A tracker with the 1-Wire search dialog, and a CAN search of `seconds`
    // holding it.
    void StartCanSearch(const char* seconds)
    {
        Start(403, false);
        dialog = std::make_unique<TOWSearchForm>(link, form->Worker(), form.get());
        form->AttachOneWireSearchDialog(dialog.get());
        QObject::connect(dialog.get(), &TOWSearchForm::BusyChanged, [this](bool busy) { dialogOpenings += busy; });
        cal = std::make_unique<TCalForm>(link, form->Worker(), dialogs, SystemClock::Instance(), form.get());
        form->AttachCalibrationDialog(cal.get());
        PlSim_ClearLog(0);
        Edit("edCANSearchLen")->setText(QLatin1String(seconds));
        dialogs.answers = {false}; // keep the earlier results
        Button("btnCANSearch")->click();
        ASSERT_EQ(form->Gate().Holder(), DeviceCommand::CanSearch);
    }
    void TearDown() override
    {
        if (form)
            QTest::qWaitFor([this] { return !form->DeviceBusy(); }, 15000);
        dialog.reset();
        cal.reset();
    }
    QAbstractButton* Button(const char* name) { return form->Editor().FieldAs<QAbstractButton>(QLatin1String(name)); }
    // Every device command's button, the sensor slots and the status colour.
    QString Screen()
    {
        QStringList words{CommandStates(*form)};
        for (const char* name : {"btnClearData", "btnIbGetAddr", "btnItempAddr1", "btnItempAddr2", "btUpdateFW"})
            words << QStringLiteral("%1=%2").arg(QLatin1String(name)).arg(OwnEnabled(*form, name));
        for (int n = 1; n <= 8; ++n)
            words << Edit(QStringLiteral("edItempAddr%1").arg(n).toLatin1().constData())->text();
        words << QString::number(form->Pages()->currentIndex()) << QString::number(form->Pages()->isEnabled());
        return words.join(QLatin1Char(' '));
    }
};

} // namespace

// The review's reproduction: a CAN search, the key reader through "Добавить"
// and "Считать" pressed meanwhile used to leave the window locked for good.
TEST_F(CommandGateTest, TheReviewsReproductionEndsWithTheWindowFree)
{
    StartCanSearch("1");
    form->Editor().FieldAs<QAbstractButton>(QStringLiteral("cbIbReadAny"))->setChecked(false);
    Edit("edIbAddr")->clear();
    Button("btnIbAdd")->click();
    EXPECT_EQ(dialogOpenings, 0) << "the search dialog asks the gate before it opens";
    for (int i = 0; i < 3; ++i)
        form->btnReadSettingsClick();
    EXPECT_EQ(Status(), kWait);
    ASSERT_TRUE(QTest::qWaitFor([this] { return !form->DeviceBusy(); }, 10000));
    Settle(*form);
    EXPECT_NE(Log().find("CMD STOP_CAN_SEARCH"), std::string::npos);
    EXPECT_EQ(Status(), QStringLiteral("Поиск завершен"));
    EXPECT_EQ(CommandStates(*form),
              QStringLiteral("btnReadSettings=1 btnWriteSettings=1 btnCANSearch=1 btnItSearchTemp=1"));
    for (const char* name : {"btnClearData", "btnIbGetAddr"})
        EXPECT_TRUE(OwnEnabled(*form, name)) << name << " as the rules open it for a listed key";
    EXPECT_FALSE(OwnEnabled(*form, "btnItempAddr1")) << "an unticked slot";
    form->close();
    EXPECT_FALSE(form->isVisible());
}

// Each start refused while the search holds the tracker: the red waiting
// text, and nothing else on screen or on the wire changes.
TEST_F(CommandGateTest, ARefusedStartShowsTheWaitingTextAndChangesNothingElse)
{
    service = true;
    StartCanSearch("3");
    Edit("edItempAddr1")->setText(QStringLiteral("1000000000000028"));
    const struct {
        const char* what;
        std::function<void()> start;
    } starts[] = {
        {"read", [this] { form->btnReadSettingsClick(); }},
        {"write", [this] { form->btnWriteSettingsClick(); }},
        {"clearing after Да",
         [this] {
             dialogs.answers = {true};
             form->btnClearDataClick();
         }},
        {"whole-line search after Да",
         [this] {
             dialogs.answers = {true};
             form->OneWire().btnItSearchTempClick();
         }},
        {"single-sensor search", [this] { form->OneWire().btnItempAddr1Click(Button("btnItempAddr1")); }},
        {"calibration menu", [this] { form->mCalibrateClick(); }},
        {"Калибровать", [this] { cal->btnCalibrateClick(); }},
    };
    for (const auto& s : starts) {
        const QString before = Screen();
        form->findChild<QLabel*>(QStringLiteral("CommandInfo"))->clear();
        s.start();
        EXPECT_EQ(Status(), kWait) << s.what;
        EXPECT_EQ(Screen(), before) << s.what;
        EXPECT_EQ(form->Gate().Holder(), DeviceCommand::CanSearch) << s.what;
        EXPECT_FALSE(form->Clearing()) << s.what;
    }
    EXPECT_EQ(dialogOpenings, 0);
    EXPECT_FALSE(cal->isVisible());
    ASSERT_TRUE(QTest::qWaitFor([this] { return !form->DeviceBusy(); }, 10000));
    for (const QString& line : QString::fromStdString(Log()).split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        EXPECT_TRUE(line.contains(QStringLiteral("CAN")))
            << "only the search talked to the tracker: " << line.toStdString();
}
