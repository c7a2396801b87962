// Key filters of the text fields: the four character classes, and what a
// user's keys do to a real field that carries a class on the form.

#include "editor/FieldFilters.h"
#include "editor/pages/TransferPage.h"
#include "editor/pages/WifiPage.h"

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QSpinBox>

#include <gtest/gtest.h>

#include <memory>
#include <ostream>

#include <QSignalSpy>
#include <QTest>

using namespace plendoro;

namespace {

// ---------------------------------------------------------------------------
// The classes, character by character.

struct ClassRow {
    const char* cls;
    QString accepted; // every printable character the class lets through
};

void PrintTo(const ClassRow& row, std::ostream* os)
{
    *os << row.cls;
}

const QString kDigits = QStringLiteral("0123456789");
const QString kLetters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");

class FilterClassTest : public ::testing::TestWithParam<ClassRow> {};

// Every character from NUL to the end of Latin Extended-A, plus a few that
// Qt's own isDigit/isLetter would let through: the sets are ASCII only.
TEST_P(FilterClassTest, AcceptsExactlyItsCharactersAndTheThreeControlCodes)
{
    const ClassRow& row = GetParam();
    QList<QChar> probe;
    for (char16_t u = 0; u < 0x180; ++u)
        probe << QChar(u);
    for (char16_t u : {u'ж', u'Ж', u'ё', u'\u0663' /* Arabic-Indic three */, u'\uFF21' /* fullwidth A */,
                       u'\uFF11' /* fullwidth 1 */, u'\u00B2' /* superscript two */, u'\u2009'})
        probe << QChar(u);
    for (QChar c : probe) {
        const char16_t u = c.unicode();
        const bool expected = row.accepted.contains(c) || u == 8 || u == 3 || u == 22;
        EXPECT_EQ(FieldFilterAccepts(QLatin1String(row.cls), c), expected) << row.cls << " U+" << std::hex << int(u);
    }
}

INSTANTIATE_TEST_SUITE_P(Classes, FilterClassTest,
                         ::testing::Values(ClassRow{"numeric", kDigits},
                                           ClassRow{"hex", kDigits + QStringLiteral("abcdefABCDEF")},
                                           ClassRow{"address", kDigits + QStringLiteral(".")},
                                           ClassRow{"literal", kDigits + kLetters + QStringLiteral("_-+ .")}),
                         [](const ::testing::TestParamInfo<ClassRow>& info) { return std::string(info.param.cls); });

TEST(FilterClass, EnterAndOtherControlCodesAreRefusedByEveryClass)
{
    for (const char* cls : {"numeric", "hex", "address", "literal"}) {
        EXPECT_FALSE(FieldFilterAccepts(QLatin1String(cls), QChar(13))) << cls;
        EXPECT_FALSE(FieldFilterAccepts(QLatin1String(cls), QChar(10))) << cls;
        EXPECT_FALSE(FieldFilterAccepts(QLatin1String(cls), QChar(24))) << cls; // Ctrl+X as a character
    }
}

// ---------------------------------------------------------------------------
// Keys typed into real fields.

std::unique_ptr<QLineEdit> FilteredEdit(const char* cls, int maxLength = 32767)
{
    auto edit = std::make_unique<QLineEdit>();
    if (cls)
        edit->setProperty("keyFilter", QString::fromLatin1(cls));
    edit->setMaxLength(maxLength);
    InstallFieldFilters(edit.get());
    edit->show();
    edit->setFocus();
    return edit;
}

// A typed character that QTest::keyClicks cannot produce (it goes through
// Latin-1): the key press carries the text as a keyboard layout would.
void TypeText(QWidget* w, const QString& text)
{
    for (QChar c : text) {
        QTest::sendKeyEvent(QTest::Press, w, Qt::Key(c.toUpper().unicode()), QString(c), Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Release, w, Qt::Key(c.toUpper().unicode()), QString(c), Qt::NoModifier);
    }
}

TEST(FieldKeys, RefusedCharactersAreDroppedAndTheRestTyped)
{
    struct Case {
        const char* cls;
        QString typed;
        QString result;
    };
    const Case cases[] = {
        {"numeric", "a", ""},
        {"numeric", "1a2.3", "123"},
        {"hex", "a", "a"},
        {"hex", "0fFgG9", "0fF9"},
        {"address", "192.168,0.1x", "192.1680.1"},
        {"literal", "Kv_1-2+3 .x/y", "Kv_1-2+3 .xy"},
        {nullptr, "a,/", "a,/"}, // a field without a class takes everything
    };
    for (const Case& c : cases) {
        auto edit = FilteredEdit(c.cls);
        QTest::keyClicks(edit.get(), c.typed);
        EXPECT_EQ(edit->text(), c.result) << (c.cls ? c.cls : "none") << " typing " << c.typed.toStdString();
    }
}

TEST(FieldKeys, NonAsciiLettersAreRefusedEvenByTheLiteralClass)
{
    auto edit = FilteredEdit("literal");
    TypeText(edit.get(), QStringLiteral("Kжё1Ж"));
    EXPECT_EQ(edit->text(), QStringLiteral("K1"));

    auto free = FilteredEdit(nullptr);
    TypeText(free.get(), QStringLiteral("Kж"));
    EXPECT_EQ(free->text(), QStringLiteral("Kж"));
}

TEST(FieldKeys, EditingAndNavigationKeysPass)
{
    auto edit = FilteredEdit("numeric");
    QTest::keyClicks(edit.get(), "123");
    QTest::keyClick(edit.get(), Qt::Key_Backspace);
    EXPECT_EQ(edit->text(), "12");
    QTest::keyClick(edit.get(), Qt::Key_Left);
    QTest::keyClick(edit.get(), '7');
    EXPECT_EQ(edit->text(), "172");
    QTest::keyClick(edit.get(), Qt::Key_Home);
    QTest::keyClick(edit.get(), Qt::Key_Delete);
    EXPECT_EQ(edit->text(), "72");
    QTest::keyClick(edit.get(), Qt::Key_End);
    QTest::keyClick(edit.get(), '5');
    EXPECT_EQ(edit->text(), "725");
}

TEST(FieldKeys, ShortcutsPassThoughTheirLettersAreOutsideTheClass)
{
    auto edit = FilteredEdit("numeric");
    QApplication::clipboard()->clear();
    QTest::keyClicks(edit.get(), "4711");
    QTest::keyClick(edit.get(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(edit.get(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), "4711");
    QTest::keyClick(edit.get(), Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(edit->text(), "");
    QTest::keyClick(edit.get(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(edit->text(), "4711");
}

TEST(FieldKeys, PastedTextIsNotFiltered)
{
    auto edit = FilteredEdit("numeric");
    QApplication::clipboard()->setText(QStringLiteral("12a"));
    QTest::keyClick(edit.get(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(edit->text(), "12a");
}

TEST(FieldKeys, EnterIsRefused)
{
    for (const char* cls : {"numeric", "hex", "address", "literal"}) {
        auto edit = FilteredEdit(cls);
        QSignalSpy returns(edit.get(), &QLineEdit::returnPressed);
        QTest::keyClick(edit.get(), Qt::Key_Return);
        QTest::keyClick(edit.get(), Qt::Key_Enter, Qt::KeypadModifier);
        EXPECT_EQ(returns.count(), 0) << cls;
    }
    // The same keys do reach a field without a class.
    auto free = FilteredEdit(nullptr);
    QSignalSpy returns(free.get(), &QLineEdit::returnPressed);
    QTest::keyClick(free.get(), Qt::Key_Return);
    EXPECT_EQ(returns.count(), 1);
}

TEST(FieldKeys, MaximumLengthHoldsWhileTyping)
{
    auto edit = FilteredEdit("numeric", 3);
    QTest::keyClicks(edit.get(), "12a345");
    EXPECT_EQ(edit->text(), "123");
}

TEST(FieldKeys, ComposedInputLosesTheRefusedCharacters)
{
    auto edit = FilteredEdit("numeric");
    QInputMethodEvent composed;
    composed.setCommitString(QStringLiteral("1ж2"));
    QApplication::sendEvent(edit.get(), &composed);
    EXPECT_EQ(edit->text(), "12");
}

TEST(FieldKeys, SpinFieldCarriesTheClassForItsLineEdit)
{
    for (const bool filtered : {true, false}) {
        QSpinBox spin;
        spin.setRange(0, 1000);
        if (filtered)
            spin.setProperty("keyFilter", QStringLiteral("numeric"));
        InstallFieldFilters(&spin);
        spin.show();
        QLineEdit* inner = spin.findChild<QLineEdit*>();
        ASSERT_NE(inner, nullptr);
        QSignalSpy finished(&spin, &QAbstractSpinBox::editingFinished);
        QSignalSpy innerReturns(inner, &QLineEdit::returnPressed);
        // Keys sent to the spin box itself, and keys reaching its focused
        // line edit, both pass the filter.
        QTest::keyClick(&spin, Qt::Key_Return);
        QTest::keyClick(inner, Qt::Key_Return);
        EXPECT_EQ(finished.count() + innerReturns.count() > 0, !filtered) << "filtered " << filtered;
    }
}

// ---------------------------------------------------------------------------
// The classes as the forms assign them.

TEST(FieldKeys, PageFieldsFilterAsTheirFormSays)
{
    TransferPage transfer;
    WifiPage wifi;
    InstallFieldFilters(&transfer);
    InstallFieldFilters(&wifi);

    auto* period = transfer.findChild<QLineEdit*>("edSendPeriod");
    auto* server = transfer.findChild<QLineEdit*>("edServer");
    auto* udp = transfer.findChild<QLineEdit*>("edIpUDPServer");
    auto* ssid = wifi.findChild<QLineEdit*>("edSSID");
    ASSERT_TRUE(period && server && udp && ssid);

    period->setText("60");
    QTest::keyClick(period, 'a');
    EXPECT_EQ(period->text(), "60");

    QTest::keyClicks(server, "10.0.0.a1");
    EXPECT_EQ(server->text(), "10.0.0.1");

    udp->setEnabled(true);
    QTest::keyClicks(udp, "host-a");
    EXPECT_EQ(udp->text(), "host-a"); // no class on the form

    ssid->setText("KV");
    TypeText(ssid, QStringLiteral("ж"));
    EXPECT_EQ(ssid->text(), "KV");
}

} // namespace
