// How the window reads to a person and to a screen reader: every page fits
// a small laptop's screen, Qt's own dialogs speak Russian, and controls
// without a caption are named.
#include "WindowFixture.h"

#include "app/QtTranslation.h"

#include <QAccessible>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QPushButton>
#include <QToolButton>

#include <QAbstractButton>
#include <QComboBox>
#include <QLayout>
#include <QLineEdit>
#include <QScreen>
#include <QStackedWidget>
#include <QTabWidget>

using namespace windowtest;

namespace {

// The fields of the page shown now that are drawn smaller than they need,
// or reach outside the widget that holds them.
QStringList Squashed(QWidget* page)
{
    QStringList found;
    for (QWidget* w : page->findChildren<QWidget*>()) {
        if (!w->isVisibleTo(page) || w->objectName().isEmpty() || w->objectName().startsWith(QLatin1String("qt_")) ||
            !(qobject_cast<QAbstractButton*>(w) || qobject_cast<QLineEdit*>(w) || qobject_cast<QLabel*>(w) ||
              qobject_cast<QComboBox*>(w)))
            continue;
        const QSize need = w->minimumSizeHint();
        const QRect inParent = w->geometry();
        const bool small = w->height() < need.height() || w->width() < std::min(need.width(), 40);
        const bool outside = w->parentWidget() && !w->parentWidget()->rect().contains(inParent);
        if (small || outside)
            found << QStringLiteral("%1 %2x%3 needs %4x%5%6")
                         .arg(w->objectName())
                         .arg(w->width())
                         .arg(w->height())
                         .arg(need.width())
                         .arg(need.height())
                         .arg(outside ? QStringLiteral(" outside") : QString());
    }
    return found;
}

} // namespace

TEST_F(TransferFixture, EveryPageFitsASmallScreen)
{
    Start(403, false);
    form->resize(1024, 600 - 40); // less the desktop's panel and the window's title
    QTest::qWait(50);
    EXPECT_EQ(form->height(), 560) << "the window needs " << form->minimumSizeHint().height();
    QTabWidget* pages = form->Pages();
    std::vector<QTabWidget*> sets{pages};
    for (const char* inner : {"pcInputs", "PageControl2"})
        if (auto* t = form->findChild<QTabWidget*>(QLatin1String(inner)))
            sets.push_back(t);
    for (QTabWidget* set : sets) {
        for (int i = 0; i < set->count(); ++i) {
            if (!set->isTabVisible(i))
                continue;
            for (int outer = 0; outer < pages->count(); ++outer)
                if (pages->widget(outer)->isAncestorOf(set))
                    pages->setCurrentIndex(outer);
            set->setCurrentIndex(i);
            QTest::qWait(20);
            EXPECT_EQ(Squashed(set->widget(i)).join(QLatin1Char('\n')).toStdString(), "")
                << set->objectName().toStdString() << " " << set->tabText(i).toStdString();
        }
    }
}

TEST(WindowLanguage, QtsOwnDialogsSpeakRussian)
{
    ASSERT_TRUE(plendoro::InstallQtTranslation());
    QFileDialog dialog(nullptr, QStringLiteral("Открыть"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    QStringList buttons;
    for (QAbstractButton* b : dialog.findChild<QDialogButtonBox*>()->buttons())
        buttons << b->text().remove(QLatin1Char('&'));
    EXPECT_TRUE(buttons.contains(QStringLiteral("Открыть"))) << buttons.join(QLatin1Char(',')).toStdString();
    EXPECT_TRUE(buttons.contains(QStringLiteral("Отмена"))) << buttons.join(QLatin1Char(',')).toStdString();
    EXPECT_TRUE(
        dialog.findChild<QLabel*>(QStringLiteral("fileNameLabel"))->text().contains(QStringLiteral("Имя файла")));
}

TEST_F(TransferFixture, ControlsWithoutACaptionAreNamed)
{
    OpenWindow();
    const auto name = [](QWidget* w) { return QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name); };
    int toolButtons = 0;
    for (QToolButton* b : form->Editor().Field(QStringLiteral("tsCAN"))->findChildren<QToolButton*>()) {
        EXPECT_FALSE(name(b).isEmpty()) << b->objectName().toStdString();
        EXPECT_EQ(name(b), b->toolTip());
        ++toolButtons;
    }
    EXPECT_GE(toolButtons, 4);
    for (int n = 1; n <= 8; ++n)
        EXPECT_EQ(name(Edit(QStringLiteral("edItempAddr%1").arg(n).toLatin1().constData())),
                  QStringLiteral("Датчик %1").arg(n));
}
