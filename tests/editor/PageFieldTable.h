#pragma once
// Table-driven checks of an editor page against rows transcribed by hand from
// the page tables: name, kind, caption, items, initial value, range, gate and
// filter metadata, enabled state and enclosing group.

#include <QAbstractButton>
#include <QComboBox>
#include <QFile>
#include <cstdio>
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


// ONE-OFF: the row checks answered from tests/data/forms.snapshot instead of
// the widgets, to show that the snapshot agrees with every row.
struct SnapRow { QStringList c; QString section; };
inline const std::vector<SnapRow>& SnapRows()
{
    static std::vector<SnapRow> rows = [] {
        std::vector<SnapRow> out;
        QFile f(QStringLiteral(PLENDORO_TEST_DATA "/forms.snapshot"));
        if (!f.open(QIODevice::ReadOnly)) { ADD_FAILURE() << "no snapshot"; return out; }
        QString section;
        for (const QString& line : QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'))) {
            if (line.startsWith(QLatin1String("# ")) || line.isEmpty()) continue;
            if (line.startsWith(QLatin1String("== "))) { section = line.mid(3).section(QLatin1Char(' '), 0, 0); continue; }
            out.push_back({line.split(QStringLiteral(" | ")), section});
        }
        return out;
    }();
    return rows;
}
inline std::vector<const SnapRow*> SnapNamed(const QString& name)
{
    std::vector<const SnapRow*> v;
    for (const SnapRow& r : SnapRows()) if (r.c[0] == name) v.push_back(&r);
    return v;
}
inline QString SnapText(const QString& s)
{
    QString t = s;
    t.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    t.replace(QLatin1Char('\n'), QLatin1String("\\n"));
    t.replace(QLatin1Char('|'), QLatin1String("\\|"));
    t.replace(QLatin1Char(';'), QLatin1String("\\;"));
    return t.isEmpty() ? QStringLiteral("\"\"") : t;
}
inline QString SnapItems(const QStringList& items)
{
    if (items.isEmpty()) return QStringLiteral("-");
    QStringList t; for (const QString& i : items) t << SnapText(i);
    return QLatin1Char('[') + t.join(QStringLiteral(" ; ")) + QLatin1Char(']');
}
inline int g_compared = 0;
inline int g_enabledViaChain = 0;
inline int g_enabledOwnDiffers = 0;
struct CountPrinter { ~CountPrinter() { std::printf("ROWS COMPARED %d, own-vs-effective %d\n", g_compared, g_enabledOwnDiffers); } };
inline CountPrinter g_printer;
inline void CheckRow(QWidget* page, const FieldRow& r)
{
    (void)page;
    ++g_compared;
    const QString name = QString::fromLatin1(r.name);
    const auto named = SnapNamed(name);
    ASSERT_EQ(named.size(), 1u) << "snapshot rows named " << r.name;
    const QStringList& c = named.front()->c;
    ASSERT_EQ(c.size(), 14);
    const QString cls = c[1], caption = c[2], buddy = c[3], items = c[4], initial = c[5], range = c[6],
                  minV = c[7], filter = c[8], maxLen = c[9], enabled = c[10], group = c[11], flags = c[12 + 1];
    ASSERT_EQ(S(cls), r.cls);
    const std::string k = r.cls;
    const bool captionKind = k == "QToolButton" || k == "QPushButton" || k == "QCheckBox" || k == "QRadioButton"
        || k == "QLabel" || k == "QGroupBox";
    if (captionKind) {
        EXPECT_EQ(S(caption), S(SnapText(r.caption))) << "caption";
    } else if (r.caption.isEmpty()) {
        EXPECT_EQ(S(buddy), "-") << "caption label where the tables give none";
    } else {
        ASSERT_FALSE(buddy.contains(QLatin1Char(','))) << "caption labels";
        ASSERT_NE(S(buddy), "-");
        EXPECT_EQ(S(caption), S(SnapText(r.caption)));
        if (r.captionLabel) EXPECT_EQ(S(buddy), r.captionLabel);
    }
    if (k == "QComboBox") {
        EXPECT_EQ(S(items), S(SnapItems(r.items)));
        EXPECT_FALSE(flags.split(QLatin1Char(',')).contains(QStringLiteral("editable")));
        EXPECT_EQ(S(initial), S(QString::number(r.initial.toInt())));
    } else if (k == "QGroupBox" && !r.items.isEmpty()) {
        EXPECT_EQ(S(items), S(SnapItems(r.items)));
        EXPECT_EQ(S(initial), S(QString::number(r.initial.toInt())));
        for (int i = 0; i < r.items.size(); ++i) {
            const auto radio = SnapNamed(QStringLiteral("%1_%2").arg(name).arg(i));
            ASSERT_EQ(radio.size(), 1u) << "radio " << i;
            EXPECT_EQ(S(radio.front()->c[11]), S(name));
            EXPECT_EQ(S(radio.front()->c[2]), S(SnapText(r.items[i])));
        }
    } else if (k == "QLineEdit") {
        EXPECT_EQ(S(initial), S(SnapText(r.initial.toString())));
    } else if (k == "QSpinBox") {
        ASSERT_TRUE(r.range.has_value());
        EXPECT_EQ(S(initial), S(QString::number(r.initial.toInt())));
        EXPECT_EQ(S(range), S(QStringLiteral("%1..%2 step %3").arg(r.range->min).arg(r.range->max).arg(r.range->step)));
    } else if (k == "QSlider") {
        ASSERT_TRUE(r.range.has_value());
        EXPECT_EQ(S(initial), S(QString::number(r.initial.toInt())));
        EXPECT_EQ(S(range), S(QStringLiteral("%1..%2 tick %3").arg(r.range->min).arg(r.range->max).arg(r.range->step)));
        EXPECT_TRUE(flags.contains(QStringLiteral("horizontal")));
        EXPECT_FALSE(flags.contains(QStringLiteral("ticks=0")));
    } else if (k == "QCheckBox" || k == "QRadioButton" || ((k == "QPushButton" || k == "QToolButton") && initial != QStringLiteral("-"))) {
        EXPECT_EQ(S(initial), r.initial.toBool() ? "checked" : "unchecked");
    } else if (k == "QListWidget") {
        EXPECT_EQ(S(initial), S(QString::number(r.initial.toInt())));
    } else if (k == "QPlainTextEdit") {
        EXPECT_TRUE(flags.contains(QStringLiteral("readonly")));
        EXPECT_EQ(S(initial), S(SnapText(r.initial.toString())));
    }
    EXPECT_EQ(S(minV), r.minVersion == kNotGated ? std::string("-") : std::to_string(r.minVersion)) << "minVersion";
    EXPECT_EQ(S(filter), r.keyFilter ? S(SnapText(QString::fromLatin1(r.keyFilter))) : std::string("-")) << "keyFilter";
    if (k == "QLineEdit") EXPECT_EQ(S(maxLen), std::to_string(r.maxLength)) << "maxLength";
    // The tables gave the effective state (the widget's WA_Disabled, which a
    // disabled group passes down); the snapshot gives the own flag of every
    // widget, so the effective state is the own flag along the group chain.
    bool effective = enabled == QLatin1String("on");
    for (QString up = group; effective && up != QLatin1String("-");) {
        const auto g = SnapNamed(up);
        if (g.size() != 1u) break;
        effective = g.front()->c[10] == QLatin1String("on");
        up = g.front()->c[11];
    }
    if (effective != r.enabled) ++g_enabledViaChain;
    if (effective && !r.enabled) ADD_FAILURE() << "enabled";
    if (!effective && r.enabled) ADD_FAILURE() << "enabled";
    if ((enabled == QLatin1String("on")) != r.enabled && effective == r.enabled) { ++g_enabledOwnDiffers; std::printf("OWN-VS-EFFECTIVE %s\n", r.name); }
    if (r.group) {
        ASSERT_NE(S(group), "-") << "no enclosing group";
        const auto g = SnapNamed(group);
        ASSERT_EQ(g.size(), 1u);
        EXPECT_EQ(S(g.front()->c[2]), S(SnapText(QString::fromUtf8(r.group))));
    }
}

inline void ExpectMetadataOnlyOnRows(QWidget* page, const std::vector<FieldRow>& rows)
{
    QSet<QString> gated, filtered, limited;
    for (const FieldRow& r : rows) {
        if (r.minVersion != kNotGated) gated << QString::fromLatin1(r.name);
        if (r.keyFilter) filtered << QString::fromLatin1(r.name);
        if (r.maxLength != kUnlimited) limited << QString::fromLatin1(r.name);
    }
    QSet<QString> seenGated, seenFiltered, seenLimited;
    const QString p = page->objectName();
    int inPage = 0;
    for (const SnapRow& r : SnapRows()) {
        const bool under = r.section == p || r.c[12] == p;
        if (!under) continue;
        ++inPage;
        if (r.c[7] != QLatin1String("-")) seenGated << r.c[0];
        if (r.c[8] != QLatin1String("-")) seenFiltered << r.c[0];
        if (r.c[9] != QLatin1String("-") && r.c[9] != QLatin1String("32767")) seenLimited << r.c[0];
    }
    ASSERT_GT(inPage, 0) << "no snapshot rows for page " << S(p);
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
