#pragma once
// Table-driven checks of an editor page against rows transcribed by hand from
// the page tables: name, kind, caption, items, initial value, range, gate and
// filter metadata, enabled state and enclosing group.

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSet>
#include <QSlider>
#include <QSpinBox>
#include <QString>
#include <QStringList>
#include <QToolButton>
#include <QVariant>
#include <QWidget>

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace pagetest {

inline constexpr int kNotGated = -1;
inline constexpr int kUnlimited = 32767; // QLineEdit's own default

struct Range
{
    int min;
    int max;
    int step; // spin step, or slider tick interval
};

// Caption means: the text of a button, check box, radio button or label, the
// title of a group, the hint of a tool button, and for every other field the
// text of the label whose buddy it is (empty: the field has no caption label).
struct FieldRow
{
    const char* name;
    const char* cls;
    QString caption = {};
    const char* captionLabel = nullptr; // objectName of that buddy label, when the tables name it
    QStringList items = {};             // list items, or the radio buttons of a radio group
    QVariant initial = {};              // text, checked state, current index or value
    std::optional<Range> range = {};
    int minVersion = kNotGated;
    const char* keyFilter = nullptr;
    int maxLength = kUnlimited;
    bool enabled = true;
    const char* group = nullptr; // title of the nearest enclosing group, when the tables say
};

inline void PrintTo(const FieldRow& row, std::ostream* os) { *os << row.name; }

// Texts are compared as UTF-8 strings so that a failure prints them readably.
inline std::string S(const QString& s) { return s.toStdString(); }
inline std::string S(const QStringList& l) { return l.join(QLatin1String(" | ")).toStdString(); }
inline std::string S(const QSet<QString>& set)
{
    QStringList l(set.begin(), set.end());
    l.sort();
    return S(l);
}

inline std::string RowTestName(const ::testing::TestParamInfo<FieldRow>& info) { return info.param.name; }

inline QLabel* BuddyLabel(QWidget* page, QWidget* field, int* count)
{
    QLabel* found = nullptr;
    *count = 0;
    for (QLabel* l : page->findChildren<QLabel*>())
        if (l->buddy() == field) {
            found = l;
            ++*count;
        }
    return found;
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

inline void CheckRow(QWidget* page, const FieldRow& r)
{
    ASSERT_NE(page, nullptr);
    const auto all = page->findChildren<QWidget*>(QString::fromLatin1(r.name));
    ASSERT_EQ(all.size(), 1) << "fields named " << r.name << " under " << page->objectName().toStdString();
    QWidget* w = all.front();
    ASSERT_STREQ(w->metaObject()->className(), r.cls);

    // Caption.
    if (auto* t = qobject_cast<QToolButton*>(w)) {
        EXPECT_EQ(S(t->toolTip()), S(r.caption));
    } else if (auto* b = qobject_cast<QAbstractButton*>(w)) {
        EXPECT_EQ(S(b->text()), S(r.caption));
    } else if (auto* l = qobject_cast<QLabel*>(w)) {
        EXPECT_EQ(S(l->text()), S(r.caption));
    } else if (auto* g = qobject_cast<QGroupBox*>(w)) {
        EXPECT_EQ(S(g->title()), S(r.caption));
    } else {
        int count = 0;
        QLabel* label = BuddyLabel(page, w, &count);
        if (r.caption.isEmpty()) {
            EXPECT_EQ(count, 0) << "caption label where the tables give none";
        } else {
            ASSERT_EQ(count, 1) << "caption labels";
            EXPECT_EQ(S(label->text()), S(r.caption));
            if (r.captionLabel) {
                EXPECT_EQ(S(label->objectName()), r.captionLabel);
            }
        }
    }

    // Items, initial value and range, by kind.
    if (auto* c = qobject_cast<QComboBox*>(w)) {
        QStringList items;
        for (int i = 0; i < c->count(); ++i)
            items << c->itemText(i);
        EXPECT_EQ(S(items), S(r.items));
        EXPECT_FALSE(c->isEditable());
        EXPECT_EQ(c->currentIndex(), r.initial.toInt());
    } else if (auto* g = qobject_cast<QGroupBox*>(w); g && !r.items.isEmpty()) {
        const auto buttons = RadioItems(g);
        QStringList texts;
        for (int i = 0; i < buttons.size(); ++i) {
            texts << buttons[i]->text();
            EXPECT_EQ(S(buttons[i]->objectName()), S(QStringLiteral("%1_%2").arg(QLatin1String(r.name)).arg(i)));
        }
        EXPECT_EQ(S(texts), S(r.items));
        EXPECT_EQ(CheckedRadio(g), r.initial.toInt());
    } else if (auto* e = qobject_cast<QLineEdit*>(w)) {
        EXPECT_EQ(S(e->text()), S(r.initial.toString()));
    } else if (auto* s = qobject_cast<QSpinBox*>(w)) {
        EXPECT_EQ(s->value(), r.initial.toInt());
        ASSERT_TRUE(r.range.has_value());
        EXPECT_EQ(s->minimum(), r.range->min);
        EXPECT_EQ(s->maximum(), r.range->max);
        EXPECT_EQ(s->singleStep(), r.range->step);
    } else if (auto* s = qobject_cast<QSlider*>(w)) {
        EXPECT_EQ(s->orientation(), Qt::Horizontal);
        EXPECT_EQ(s->value(), r.initial.toInt());
        ASSERT_TRUE(r.range.has_value());
        EXPECT_EQ(s->minimum(), r.range->min);
        EXPECT_EQ(s->maximum(), r.range->max);
        EXPECT_EQ(s->tickInterval(), r.range->step);
        EXPECT_NE(s->tickPosition(), QSlider::NoTicks);
    } else if (auto* b = qobject_cast<QAbstractButton*>(w); b && b->isCheckable()) {
        EXPECT_EQ(b->isChecked(), r.initial.toBool());
    } else if (auto* l = qobject_cast<QListWidget*>(w)) {
        EXPECT_EQ(l->count(), r.initial.toInt());
    } else if (auto* m = qobject_cast<QPlainTextEdit*>(w)) {
        EXPECT_TRUE(m->isReadOnly());
        EXPECT_EQ(S(m->toPlainText()), S(r.initial.toString()));
    }

    // Metadata carried by the form.
    const QVariant minVersion = w->property("minVersion");
    if (r.minVersion == kNotGated) {
        EXPECT_FALSE(minVersion.isValid()) << "unexpected minVersion " << minVersion.toInt();
    } else {
        ASSERT_TRUE(minVersion.isValid()) << "minVersion missing";
        EXPECT_EQ(minVersion.toInt(), r.minVersion);
    }
    const QVariant filter = w->property("keyFilter");
    if (!r.keyFilter) {
        EXPECT_FALSE(filter.isValid()) << "unexpected keyFilter " << filter.toString().toStdString();
    } else {
        EXPECT_EQ(S(filter.toString()), r.keyFilter);
    }
    if (auto* e = qobject_cast<QLineEdit*>(w)) {
        EXPECT_EQ(e->maxLength(), r.maxLength);
    }

    // The field's own enabled flag, not the one inherited from its containers.
    EXPECT_EQ(!w->testAttribute(Qt::WA_Disabled), r.enabled);

    if (r.group) {
        QGroupBox* g = EnclosingGroup(w);
        ASSERT_NE(g, nullptr) << "no enclosing group";
        EXPECT_EQ(S(g->title()), r.group);
    }
}

// Metadata may sit only on the fields the tables list: a minVersion or
// keyFilter anywhere else would gate or filter a field that must stay free.
inline void ExpectMetadataOnlyOnRows(QWidget* page, const std::vector<FieldRow>& rows)
{
    QSet<QString> gated, filtered, limited;
    for (const FieldRow& r : rows) {
        if (r.minVersion != kNotGated)
            gated << QString::fromLatin1(r.name);
        if (r.keyFilter)
            filtered << QString::fromLatin1(r.name);
        if (r.maxLength != kUnlimited)
            limited << QString::fromLatin1(r.name);
    }
    QSet<QString> seenGated, seenFiltered, seenLimited;
    for (QWidget* w : page->findChildren<QWidget*>()) {
        if (w->property("minVersion").isValid())
            seenGated << w->objectName();
        if (w->property("keyFilter").isValid())
            seenFiltered << w->objectName();
        if (auto* e = qobject_cast<QLineEdit*>(w); e && e->maxLength() != kUnlimited)
            seenLimited << w->objectName();
    }
    EXPECT_EQ(S(seenGated), S(gated));
    EXPECT_EQ(S(seenFiltered), S(filtered));
    EXPECT_EQ(S(seenLimited), S(limited));
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
        const bool control = qobject_cast<QAbstractButton*>(w) || qobject_cast<QLabel*>(w)
            || qobject_cast<QLineEdit*>(w) || qobject_cast<QComboBox*>(w)
            || qobject_cast<QAbstractSpinBox*>(w) || qobject_cast<QSlider*>(w)
            || qobject_cast<QListWidget*>(w) || qobject_cast<QPlainTextEdit*>(w)
            || qobject_cast<QGroupBox*>(w);
        if (!control || !w->parentWidget() || w->parentWidget()->inherits("QAbstractSpinBox")
            || w->parentWidget()->inherits("QComboBox"))
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
