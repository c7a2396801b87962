// Rules of the dormant control-point editor: one set of fields serving three
// in-memory records, and the control-point group of the transfer page.
#include "ScriptedDialogs.h"
#include "editor/Editor.h"
#include "editor/EditorPages.h"
#include "editor/FieldLookup.h"
#include "editor/FieldBalloon.h"
#include "editor/rules/ControlPointRules.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QFocusEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QApplication>

#include <gtest/gtest.h>

#include <string>

using namespace plendoro;

namespace {

std::string S(const QString& s) { return s.toStdString(); }

class ControlPointRulesTest : public ::testing::Test {
protected:
    ~ControlPointRulesTest() override { HideBallon(); }

    template <typename T = QWidget>
    T* F(const char* name)
    {
        auto* w = editor.FieldAs<T>(QLatin1String(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    void Check(const char* box, bool on) { F<QAbstractButton>(box)->setChecked(on); }
    void ChooseType(int position)
    {
        auto* combo = F<QComboBox>("cbCPType");
        combo->setCurrentIndex(position);
        emit combo->activated(position);
    }
    void Leave(const char* name)
    {
        QFocusEvent out(QEvent::FocusOut);
        QApplication::sendEvent(F(name), &out);
    }
    bool On(const char* name) { return IsOwnEnabled(F(name)); }
    QTabWidget* Points() { return F<QTabWidget>("CPPageControl"); }

    QTabWidget pages;
    // The rules find their fields when constructed, so the pages come first.
    const bool built = (AddEditorPages(&pages), true);
    ScriptedDialogs dialogs;
    SettingsEditor editor{&pages, dialogs};
    ControlPointRules rules{editor};
};

TEST_F(ControlPointRulesTest, ActiveBoxEnablesThePageAndDefersToTypeAndSmsRules)
{
    ChooseType(0);
    Check("cbCPActive", true);
    for (const char* f : {"edCPFixTime", "edCPRadius", "lblCPRadius", "cbCPType", "cbCPInSms", "cbCPOutGPRS",
                          "btnShowMaps", "lblCPCoords", "lblCPTelNum", "lblCPType", "lblCPSms"})
        EXPECT_TRUE(On(f)) << f;
    EXPECT_FALSE(On("edCPTelNum")); // no SMS chosen yet

    Check("cbCPOutSms", true);
    EXPECT_TRUE(On("edCPTelNum"));
    Check("cbCPOutSms", false);
    Check("cbCPInSms", true);
    EXPECT_TRUE(On("edCPTelNum"));

    Check("cbCPActive", false);
    for (const char* f : {"edCPFixTime", "edCPRadius", "lblCPRadius", "cbCPType", "edCPTelNum", "lblCPGprs"})
        EXPECT_FALSE(On(f)) << f;
}

TEST_F(ControlPointRulesTest, RadiusAndItsCaptionOnlyForAnActiveCircle)
{
    Check("cbCPActive", true);
    ChooseType(1);
    EXPECT_FALSE(On("edCPRadius"));
    EXPECT_FALSE(On("lblCPRadius"));
    ChooseType(0);
    EXPECT_TRUE(On("edCPRadius"));
    EXPECT_TRUE(On("lblCPRadius"));
    Check("cbCPActive", false);
    ChooseType(0);
    EXPECT_FALSE(On("edCPRadius"));
    EXPECT_FALSE(On("lblCPRadius"));
}

TEST_F(ControlPointRulesTest, StoreRuleRecordsTheShownPoint)
{
    Check("cbCPActive", true);
    ChooseType(1);
    Check("cbCPInSms", true);
    Check("cbCPOutGPRS", true);
    F<QLineEdit>("edCPRadius")->setText("150");
    F<QLineEdit>("edCPFixTime")->setText("12x");
    F<QLineEdit>("edCPTelNum")->setText("+79123456789012"); // 15 characters

    EXPECT_TRUE(rules.StoreRule());
    const ControlPoint& cp = rules.Record(1);
    EXPECT_EQ(cp.flags, 0x40u | 0x01u | 0x04u | 0x20u);
    EXPECT_EQ(cp.radius, 150);
    EXPECT_EQ(cp.fixTime, 0);
    EXPECT_EQ(cp.Phone(), "+79123456789");
    EXPECT_EQ(rules.Record(2).flags, 0u);
}

TEST_F(ControlPointRulesTest, LeavingTheRadiusStoresItsPlainReading)
{
    F<QLineEdit>("edCPRadius")->setText("250");
    Leave("edCPRadius");
    EXPECT_EQ(rules.Record(1).radius, 250);
    F<QLineEdit>("edCPRadius")->setText("2.5");
    Leave("edCPRadius");
    EXPECT_EQ(rules.Record(1).radius, 0);
}

TEST_F(ControlPointRulesTest, ThreeRecordsSurvivePageSwitches)
{
    Check("cbCPActive", true);
    ChooseType(0);
    F<QLineEdit>("edCPRadius")->setText("300");
    F<QLineEdit>("edCPFixTime")->setText("20");
    Check("cbCPOutSms", true);
    F<QLineEdit>("edCPTelNum")->setText("+70000000001");

    Points()->setCurrentIndex(1);
    EXPECT_EQ(rules.ShownPoint(), 2);
    EXPECT_EQ(F("gbCPFields")->parentWidget(), Points()->widget(1));
    // Point 2 starts zeroed.
    EXPECT_FALSE(F<QAbstractButton>("cbCPActive")->isChecked());
    EXPECT_EQ(F<QComboBox>("cbCPType")->currentIndex(), 0);
    EXPECT_EQ(S(F<QLineEdit>("edCPRadius")->text()), "0");
    EXPECT_EQ(S(F<QLineEdit>("edCPTelNum")->text()), "");
    EXPECT_FALSE(F<QAbstractButton>("cbCPOutSms")->isChecked());
    EXPECT_FALSE(On("edCPRadius"));

    Check("cbCPActive", true);
    ChooseType(1);
    F<QLineEdit>("edCPFixTime")->setText("45");

    Points()->setCurrentIndex(2);
    EXPECT_EQ(F("gbCPFields")->parentWidget(), Points()->widget(2));
    Points()->setCurrentIndex(0);
    EXPECT_EQ(F("gbCPFields")->parentWidget(), Points()->widget(0));
    EXPECT_TRUE(F<QAbstractButton>("cbCPActive")->isChecked());
    EXPECT_EQ(S(F<QLineEdit>("edCPRadius")->text()), "300");
    EXPECT_EQ(S(F<QLineEdit>("edCPFixTime")->text()), "20");
    EXPECT_TRUE(F<QAbstractButton>("cbCPOutSms")->isChecked());
    EXPECT_EQ(S(F<QLineEdit>("edCPTelNum")->text()), "+70000000001");
    EXPECT_TRUE(On("edCPRadius"));
    EXPECT_TRUE(On("edCPTelNum"));

    // Active polygon after an active circle: the box keeps its state, yet the
    // radius must not stay open for a polygon.
    Points()->setCurrentIndex(1);
    EXPECT_EQ(F<QComboBox>("cbCPType")->currentIndex(), 1);
    EXPECT_EQ(S(F<QLineEdit>("edCPFixTime")->text()), "45");
    EXPECT_FALSE(On("edCPRadius"));
    EXPECT_FALSE(On("lblCPRadius"));
}

TEST_F(ControlPointRulesTest, TypeWithoutAListEntryShowsNoSelection)
{
    rules.Record(3).flags = 0x02;
    Points()->setCurrentIndex(2);
    EXPECT_EQ(F<QComboBox>("cbCPType")->currentIndex(), -1);
}

TEST_F(ControlPointRulesTest, MoreThanSixtyFourPointsRefuseTheChange)
{
    rules.Record(1).points.resize(30);
    rules.Record(3).points.resize(34);
    EXPECT_TRUE(rules.StoreRule()); // exactly 64 are allowed

    rules.Record(2).points.resize(1);
    F<QLineEdit>("edCPFixTime")->setText("7");
    EXPECT_FALSE(rules.StoreRule());
    EXPECT_EQ(rules.Record(1).fixTime, 7); // stored all the same
    EXPECT_EQ(S(FieldBalloon::Instance().text()), "Слишком много точек");
    EXPECT_EQ(FieldBalloon::Instance().Field(), Points());

    Points()->setCurrentIndex(1);
    EXPECT_EQ(Points()->currentIndex(), 0);
    EXPECT_EQ(rules.ShownPoint(), 1);
    EXPECT_EQ(F("gbCPFields")->parentWidget(), Points()->widget(0));

    rules.Record(2).points.clear();
    Points()->setCurrentIndex(1);
    EXPECT_EQ(rules.ShownPoint(), 2);
}

TEST_F(ControlPointRulesTest, TransferStateFollowsEachPointsBox)
{
    Check("cbSendEvCP2", true);
    EXPECT_TRUE(On("cbSendEvtLvlCP2"));
    Check("cbSendEvCP2", false);
    EXPECT_FALSE(On("cbSendEvtLvlCP2"));

    Check("cbSendEvCP3", true);
    F("cbSendEvtLvlCP3")->setEnabled(false);
    editor.RefreshRules();
    EXPECT_FALSE(On("cbSendEvtLvlCP1"));
    EXPECT_FALSE(On("cbSendEvtLvlCP2"));
    EXPECT_TRUE(On("cbSendEvtLvlCP3"));
}

} // namespace
