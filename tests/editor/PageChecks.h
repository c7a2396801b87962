#pragma once
// What the page tests ask of a form beyond its fields' own properties (those
// are in tests/data/forms.snapshot): groups, radio groups and the layout.

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSlider>
#include <QString>
#include <QWidget>

#include <gtest/gtest.h>

#include <string>

namespace pagetest {

// Texts as UTF-8, so that a failing comparison prints them readably.
inline std::string Utf8(const QString& s)
{
    return s.toStdString();
}

inline QGroupBox* EnclosingGroup(QWidget* w)
{
    for (QWidget* p = w->parentWidget(); p; p = p->parentWidget())
        if (auto* g = qobject_cast<QGroupBox*>(p))
            return g;
    return nullptr;
}

inline QList<QRadioButton*> RadioItems(QGroupBox* g)
{
    return g->findChildren<QRadioButton*>(QString(), Qt::FindDirectChildrenOnly);
}

inline int CheckedRadio(QGroupBox* g)
{
    const auto buttons = RadioItems(g);
    for (int i = 0; i < buttons.size(); ++i)
        if (buttons[i]->isChecked())
            return i;
    return -1;
}

// Lays the page out at the given size and reports every visible control that
// ends up outside the page or squeezed below its minimum size.
inline void ExpectNothingClipped(QWidget* page, QSize size)
{
    page->resize(size);
    page->show();
    EXPECT_LE(page->minimumSizeHint().width(), size.width());
    EXPECT_LE(page->minimumSizeHint().height(), size.height());
    const QRect area = page->rect();
    for (QWidget* w : page->findChildren<QWidget*>()) {
        if (!w->isVisibleTo(page) || w->objectName().startsWith(QLatin1String("qt_")))
            continue;
        const bool control =
            qobject_cast<QAbstractButton*>(w) || qobject_cast<QLabel*>(w) || qobject_cast<QLineEdit*>(w) ||
            qobject_cast<QComboBox*>(w) || qobject_cast<QAbstractSpinBox*>(w) || qobject_cast<QSlider*>(w) ||
            qobject_cast<QListWidget*>(w) || qobject_cast<QPlainTextEdit*>(w) || qobject_cast<QGroupBox*>(w);
        if (!control || !w->parentWidget() || w->parentWidget()->inherits("QAbstractSpinBox") ||
            w->parentWidget()->inherits("QComboBox"))
            continue;
        const QRect r(w->mapTo(page, QPoint(0, 0)), w->size());
        EXPECT_TRUE(area.contains(r)) << w->objectName().toStdString() << " lies outside the page";
        const QSize need = w->minimumSizeHint().expandedTo(w->minimumSize());
        EXPECT_GE(w->width(), need.width()) << w->objectName().toStdString() << " is too narrow";
        EXPECT_GE(w->height(), need.height()) << w->objectName().toStdString() << " is too low";
    }
    page->hide();
}

} // namespace pagetest
