// The editor's shared mechanisms on the real page set: field lookup, the
// firmware version gate and the error balloon.
#include "EditorHarness.h"
#include "editor/FieldBalloon.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

using namespace plendoro;

namespace {

struct MechanismsFixture : test::EditorTest {
    void SetUp() override
    {
        InstallBalloonClosers(editor);
        pages.resize(900, 560);
    }
    void TearDown() override { HideBallon(); }
    // The lookup itself, past the editor and its miss handler.
    QWidget* Find(const char* name) { return FindFieldByName(QLatin1String(name), &pages); }
    QString CurrentTab(QTabWidget* tabs) { return tabs->tabText(tabs->currentIndex()); }
};

} // namespace

TEST_F(MechanismsFixture, FindsFieldsThroughNestedPages)
{
    QWidget* f = Find("edItempWritePeriod58");
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->objectName(), QStringLiteral("edItempWritePeriod58"));
    ASSERT_NE(Find("edIn3Duration"), nullptr);
    ASSERT_NE(Find("cbLLSAddr7"), nullptr);
    EXPECT_EQ(Find("edin3duration"), nullptr) << "names are case-sensitive";
    EXPECT_EQ(Find("edIn9Duration"), nullptr);
    // Searching inside one page only finds that page's fields.
    QWidget* transfer = pages.findChild<QWidget*>(QStringLiteral("TabSheet15"));
    EXPECT_NE(FindFieldByName(QStringLiteral("edServer"), transfer), nullptr);
    EXPECT_EQ(FindFieldByName(QStringLiteral("edSSID"), transfer), nullptr);
}

// The editor tests look fields up through the editor; a name that is not on
// the pages fails the test that asked, once the harness ends, and names it.
TEST(EditorHarness, FailsATestThatLooksUpAFieldNotOnThePages)
{
    EXPECT_NONFATAL_FAILURE(
        {
            test::EditorHarness harness;
            harness.editor.Field(QStringLiteral("edServer"));
            harness.editor.Field("edIn", 9, "Duration");
        },
        "edIn9Duration");
    test::EditorHarness harness;
    harness.editor.Field(QStringLiteral("edServer"));
    EXPECT_TRUE(harness.TakeFieldMisses().isEmpty());
    harness.editor.FieldAs<QLineEdit>(QStringLiteral("edSsid"));
    EXPECT_EQ(harness.TakeFieldMisses(), QStringList{QStringLiteral("edSsid")});
}

TEST_F(MechanismsFixture, VersionGate)
{
    ApplyVersionGate(editor, 200);
    for (const char* off : {"cbIn1Send", "rbIn1Motion", "cbwChanel"})
        EXPECT_FALSE(IsOwnEnabled(Find(off))) << off;
    EXPECT_TRUE(IsOwnEnabled(Find("edCnt56SendPeriod")));

    ApplyVersionGate(editor, 300);
    EXPECT_TRUE(IsOwnEnabled(Find("cbIn1Send")));
    EXPECT_FALSE(IsOwnEnabled(Find("cbwChanel")));

    ApplyVersionGate(editor, 305);
    EXPECT_TRUE(IsOwnEnabled(Find("cbwChanel")));

    // Without a device every gated field is offered.
    ApplyVersionGate(editor, 403);
    int gated = 0;
    for (QWidget* w : pages.findChildren<QWidget*>()) {
        if (MinimumVersionOf(w) < 0)
            continue;
        // The forwarding fields follow their box, which is off at start.
        if (w->objectName() == QStringLiteral("edIpUDPServer") || w->objectName() == QStringLiteral("edPortUDPServer"))
            continue;
        ++gated;
        EXPECT_TRUE(IsOwnEnabled(w)) << w->objectName().toStdString();
    }
    EXPECT_GT(gated, 100);
}

TEST_F(MechanismsFixture, VersionGateLetsNmeaFieldsFollowTheirBox)
{
    auto* nmea = qobject_cast<QCheckBox*>(Find("transfNMEA"));
    ASSERT_NE(nmea, nullptr);
    nmea->setChecked(false);
    ApplyVersionGate(editor, 403);
    EXPECT_FALSE(IsOwnEnabled(Find("edIpUDPServer")));
    EXPECT_FALSE(IsOwnEnabled(Find("edPortUDPServer")));
    nmea->setChecked(true);
    ApplyVersionGate(editor, 403);
    EXPECT_TRUE(IsOwnEnabled(Find("edIpUDPServer")));
    EXPECT_TRUE(IsOwnEnabled(Find("edPortUDPServer")));
}

TEST_F(MechanismsFixture, ErrorBringsNestedPagesForward)
{
    pages.show();
    pages.setCurrentIndex(0);
    QWidget* field = Find("edItempWritePeriod58");
    ShowFieldError(QStringLiteral("Неверный интервал"), field);
    EXPECT_EQ(CurrentTab(&pages), QStringLiteral("Расширения"));
    auto* inner = pages.findChild<QTabWidget*>(QStringLiteral("PageControl2"));
    ASSERT_NE(inner, nullptr);
    EXPECT_EQ(CurrentTab(inner), QStringLiteral("1-Wire"));

    FieldBalloon& balloon = FieldBalloon::Instance();
    EXPECT_TRUE(balloon.isVisible());
    EXPECT_EQ(balloon.text(), QStringLiteral("Неверный интервал"));
    EXPECT_EQ(balloon.Timer().interval(), 3000);
    EXPECT_TRUE(balloon.Timer().isActive());
    const QPoint expected =
        field->mapToGlobal(QPoint(0, 0)) + QPoint(field->width() * 30 / 100, field->height() * 60 / 100);
    EXPECT_EQ(balloon.pos(), expected);

    // The time runs out.
    QMetaObject::invokeMethod(&balloon.Timer(), "timeout");
    EXPECT_FALSE(balloon.isVisible());
}

TEST_F(MechanismsFixture, AnchorTruncatesToWholePixels)
{
    QLineEdit edit;
    edit.resize(100, 21);
    EXPECT_EQ(BalloonAnchor(&edit) - edit.mapToGlobal(QPoint(0, 0)), QPoint(30, 12));
}

TEST_F(MechanismsFixture, EmptyMessageOnlyBringsPagesForward)
{
    pages.show();
    pages.setCurrentIndex(0);
    HideBallon();
    ShowFieldError(QString(), Find("edSSID"));
    EXPECT_EQ(CurrentTab(&pages), QStringLiteral("Настройки WiFI"));
    EXPECT_FALSE(FieldBalloon::Instance().isVisible());
}

TEST_F(MechanismsFixture, DisabledFieldGetsTheBalloonWithoutFocus)
{
    pages.show();
    QApplication::setActiveWindow(&pages);
    QWidget* server = Find("edServer");
    QWidget* port = Find("edServerPort");
    port->setFocus();
    server->setEnabled(false);
    ShowFieldError(QStringLiteral("Неверно указан IP адрес сервера"), server);
    EXPECT_TRUE(FieldBalloon::Instance().isVisible());
    EXPECT_FALSE(server->hasFocus());
    server->setEnabled(true);
    ShowFieldError(QStringLiteral("Неверно указан IP адрес сервера"), server);
    EXPECT_TRUE(server->hasFocus());
}

TEST_F(MechanismsFixture, EditingClosesTheBalloonOnlyWhereThatIsTheHabit)
{
    pages.show();
    auto* period = qobject_cast<QLineEdit*>(Find("edSendPeriod"));
    ShowFieldError(QStringLiteral("Неверный период"), period);
    period->setText(QStringLiteral("61"));
    EXPECT_FALSE(FieldBalloon::Instance().isVisible());

    // Leaving a field closes it too.
    QWidget* port = Find("edServerPort");
    ShowFieldError(QStringLiteral("Неверный порт"), port);
    QFocusEvent out(QEvent::FocusOut);
    QApplication::sendEvent(port, &out);
    EXPECT_FALSE(FieldBalloon::Instance().isVisible());

    // These keep the balloon for its whole time.
    for (const char* name : {"edItempWritePeriod14", "edOnTime2"}) {
        QWidget* w = Find(name);
        ASSERT_NE(w, nullptr) << name;
        ShowFieldError(QStringLiteral("Ошибка"), w);
        if (auto* edit = qobject_cast<QLineEdit*>(w))
            edit->setText(QStringLiteral("5"));
        else if (auto* spin = qobject_cast<QSpinBox*>(w))
            spin->setValue(spin->value() + 1);
        QFocusEvent leave(QEvent::FocusOut);
        QApplication::sendEvent(w, &leave);
        EXPECT_TRUE(FieldBalloon::Instance().isVisible()) << name;
    }

    // Leaving only: editing keeps it.
    QWidget* cnt = Find("edCnt56SendPeriod");
    ShowFieldError(QStringLiteral("Ошибка"), cnt);
    if (auto* edit = qobject_cast<QLineEdit*>(cnt))
        edit->setText(QStringLiteral("7"));
    EXPECT_TRUE(FieldBalloon::Instance().isVisible());
    QFocusEvent leave(QEvent::FocusOut);
    QApplication::sendEvent(cnt, &leave);
    EXPECT_FALSE(FieldBalloon::Instance().isVisible());
}
