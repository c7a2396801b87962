// Rules of the dormant control-point editor: one set of fields serving three
// in-memory records, and the control-point group of the transfer page.
#include "editor/rules/ControlPointRules.h"
#include "EditorHarness.h"
#include "editor/FieldBalloon.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QFocusEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>

#include <gtest/gtest.h>

#include <string>

using namespace plendoro;

namespace {

class ControlPointRulesTest : public test::EditorTest {
protected:
    ~ControlPointRulesTest() override { HideBallon(); }

    void Check(const char* box, bool on) { Box(box)->setChecked(on); }
    void ChooseType(int position) { Choose("cbCPType", position); }
    QTabWidget* Points() { return Field<QTabWidget>("CPPageControl"); }

    ControlPointRules rules{editor};
};

TEST_F(ControlPointRulesTest, ActiveBoxEnablesThePageAndDefersToTypeAndSmsRules)
{
    ChooseType(0);
    Check("cbCPActive", true);
    for (const char* f : {"edCPFixTime", "edCPRadius", "lblCPRadius", "cbCPType", "cbCPInSms", "cbCPOutGPRS",
                          "btnShowMaps", "lblCPCoords", "lblCPTelNum", "lblCPType", "lblCPSms"})
        EXPECT_TRUE(IsOwnEnabled(f)) << f;
    EXPECT_FALSE(IsOwnEnabled("edCPTelNum")); // no SMS chosen yet

    Check("cbCPOutSms", true);
    EXPECT_TRUE(IsOwnEnabled("edCPTelNum"));
    Check("cbCPOutSms", false);
    Check("cbCPInSms", true);
    EXPECT_TRUE(IsOwnEnabled("edCPTelNum"));

    Check("cbCPActive", false);
    for (const char* f : {"edCPFixTime", "edCPRadius", "lblCPRadius", "cbCPType", "edCPTelNum", "lblCPGprs"})
        EXPECT_FALSE(IsOwnEnabled(f)) << f;
}

TEST_F(ControlPointRulesTest, RadiusAndItsCaptionOnlyForAnActiveCircle)
{
    Check("cbCPActive", true);
    ChooseType(1);
    EXPECT_FALSE(IsOwnEnabled("edCPRadius"));
    EXPECT_FALSE(IsOwnEnabled("lblCPRadius"));
    ChooseType(0);
    EXPECT_TRUE(IsOwnEnabled("edCPRadius"));
    EXPECT_TRUE(IsOwnEnabled("lblCPRadius"));
    Check("cbCPActive", false);
    ChooseType(0);
    EXPECT_FALSE(IsOwnEnabled("edCPRadius"));
    EXPECT_FALSE(IsOwnEnabled("lblCPRadius"));
}

TEST_F(ControlPointRulesTest, StoreRuleRecordsTheShownPoint)
{
    Check("cbCPActive", true);
    ChooseType(1);
    Check("cbCPInSms", true);
    Check("cbCPOutGPRS", true);
    Field<QLineEdit>("edCPRadius")->setText("150");
    Field<QLineEdit>("edCPFixTime")->setText("12x");
    Field<QLineEdit>("edCPTelNum")->setText("+79123456789012"); // 15 characters

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
    Field<QLineEdit>("edCPRadius")->setText("250");
    Leave("edCPRadius");
    EXPECT_EQ(rules.Record(1).radius, 250);
    Field<QLineEdit>("edCPRadius")->setText("2.5");
    Leave("edCPRadius");
    EXPECT_EQ(rules.Record(1).radius, 0);
}

TEST_F(ControlPointRulesTest, ThreeRecordsSurvivePageSwitches)
{
    Check("cbCPActive", true);
    ChooseType(0);
    Field<QLineEdit>("edCPRadius")->setText("300");
    Field<QLineEdit>("edCPFixTime")->setText("20");
    Check("cbCPOutSms", true);
    Field<QLineEdit>("edCPTelNum")->setText("+70000000001");

    Points()->setCurrentIndex(1);
    EXPECT_EQ(rules.ShownPoint(), 2);
    EXPECT_EQ(Field("gbCPFields")->parentWidget(), Points()->widget(1));
    // Point 2 starts zeroed.
    EXPECT_FALSE(Field<QAbstractButton>("cbCPActive")->isChecked());
    EXPECT_EQ(Field<QComboBox>("cbCPType")->currentIndex(), 0);
    EXPECT_EQ(Utf8(Field<QLineEdit>("edCPRadius")->text()), "0");
    EXPECT_EQ(Utf8(Field<QLineEdit>("edCPTelNum")->text()), "");
    EXPECT_FALSE(Field<QAbstractButton>("cbCPOutSms")->isChecked());
    EXPECT_FALSE(IsOwnEnabled("edCPRadius"));

    Check("cbCPActive", true);
    ChooseType(1);
    Field<QLineEdit>("edCPFixTime")->setText("45");

    Points()->setCurrentIndex(2);
    EXPECT_EQ(Field("gbCPFields")->parentWidget(), Points()->widget(2));
    Points()->setCurrentIndex(0);
    EXPECT_EQ(Field("gbCPFields")->parentWidget(), Points()->widget(0));
    EXPECT_TRUE(Field<QAbstractButton>("cbCPActive")->isChecked());
    EXPECT_EQ(Utf8(Field<QLineEdit>("edCPRadius")->text()), "300");
    EXPECT_EQ(Utf8(Field<QLineEdit>("edCPFixTime")->text()), "20");
    EXPECT_TRUE(Field<QAbstractButton>("cbCPOutSms")->isChecked());
    EXPECT_EQ(Utf8(Field<QLineEdit>("edCPTelNum")->text()), "+70000000001");
    EXPECT_TRUE(IsOwnEnabled("edCPRadius"));
    EXPECT_TRUE(IsOwnEnabled("edCPTelNum"));

    // Active polygon after an active circle: the box keeps its state, yet the
    // radius must not stay open for a polygon.
    Points()->setCurrentIndex(1);
    EXPECT_EQ(Field<QComboBox>("cbCPType")->currentIndex(), 1);
    EXPECT_EQ(Utf8(Field<QLineEdit>("edCPFixTime")->text()), "45");
    EXPECT_FALSE(IsOwnEnabled("edCPRadius"));
    EXPECT_FALSE(IsOwnEnabled("lblCPRadius"));
}

TEST_F(ControlPointRulesTest, TypeWithoutAListEntryShowsNoSelection)
{
    rules.Record(3).flags = 0x02;
    Points()->setCurrentIndex(2);
    EXPECT_EQ(Field<QComboBox>("cbCPType")->currentIndex(), -1);
}

TEST_F(ControlPointRulesTest, MoreThanSixtyFourPointsRefuseTheChange)
{
    rules.Record(1).points.resize(30);
    rules.Record(3).points.resize(34);
    EXPECT_TRUE(rules.StoreRule()); // exactly 64 are allowed

    rules.Record(2).points.resize(1);
    Field<QLineEdit>("edCPFixTime")->setText("7");
    EXPECT_FALSE(rules.StoreRule());
    EXPECT_EQ(rules.Record(1).fixTime, 7); // stored all the same
    EXPECT_EQ(Utf8(FieldBalloon::Instance().text()), "Слишком много точек");
    EXPECT_EQ(FieldBalloon::Instance().Field(), Points());

    Points()->setCurrentIndex(1);
    EXPECT_EQ(Points()->currentIndex(), 0);
    EXPECT_EQ(rules.ShownPoint(), 1);
    EXPECT_EQ(Field("gbCPFields")->parentWidget(), Points()->widget(0));

    rules.Record(2).points.clear();
    Points()->setCurrentIndex(1);
    EXPECT_EQ(rules.ShownPoint(), 2);
}

TEST_F(ControlPointRulesTest, TransferStateFollowsEachPointsBox)
{
    Check("cbSendEvCP2", true);
    EXPECT_TRUE(IsOwnEnabled("cbSendEvtLvlCP2"));
    Check("cbSendEvCP2", false);
    EXPECT_FALSE(IsOwnEnabled("cbSendEvtLvlCP2"));

    Check("cbSendEvCP3", true);
    Field("cbSendEvtLvlCP3")->setEnabled(false);
    editor.RefreshRules();
    EXPECT_FALSE(IsOwnEnabled("cbSendEvtLvlCP1"));
    EXPECT_FALSE(IsOwnEnabled("cbSendEvtLvlCP2"));
    EXPECT_TRUE(IsOwnEnabled("cbSendEvtLvlCP3"));
}

} // namespace
