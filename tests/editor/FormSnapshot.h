#pragma once
// The editor's forms as text, one line per named widget, so that any change
// to a caption, list item, initial value, range, version gate, key filter,
// length limit, enabled flag or placement shows up as a changed line.
#include "editor/FieldLookup.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QStackedWidget>
#include <QStringList>
#include <QTabBar>
#include <QTabWidget>
#include <QTimeEdit>
#include <QToolButton>
#include <QVariant>

namespace plendoro::test {

// One line per widget; the columns, in order:
inline const QStringList kFormSnapshotColumns = {
    QStringLiteral("name"),      QStringLiteral("class"),     QStringLiteral("caption"), QStringLiteral("buddy"),
    QStringLiteral("items"),     QStringLiteral("initial"),   QStringLiteral("range"),   QStringLiteral("minVersion"),
    QStringLiteral("keyFilter"), QStringLiteral("maxLength"), QStringLiteral("enabled"), QStringLiteral("group"),
    QStringLiteral("page"),      QStringLiteral("flags"),
};
inline const QString kFormSnapshotSeparator = QStringLiteral(" | ");
inline const QString kFormSnapshotItemSeparator = QStringLiteral(" ; ");

namespace form_snapshot {

inline const QString kNone = QStringLiteral("-");

// Keeps a value on its line and its column.
inline QString Text(const QString& s)
{
    QString t = s;
    t.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    t.replace(QLatin1Char('\n'), QLatin1String("\\n"));
    t.replace(QLatin1Char('|'), QLatin1String("\\|"));
    t.replace(QLatin1Char(';'), QLatin1String("\\;"));
    return t.isEmpty() ? QStringLiteral("\"\"") : t;
}

inline QString Items(const QStringList& items)
{
    if (items.isEmpty())
        return kNone;
    QStringList texts;
    for (const QString& i : items)
        texts << Text(i);
    return QLatin1Char('[') + texts.join(kFormSnapshotItemSeparator) + QLatin1Char(']');
}

inline QList<QLabel*> BuddyLabels(QWidget* root, QWidget* field)
{
    QList<QLabel*> found;
    for (QLabel* l : root->findChildren<QLabel*>())
        if (l->buddy() == field)
            found << l;
    return found;
}

inline QString NameOf(const QWidget* w)
{
    return w ? w->objectName() : kNone;
}

inline QGroupBox* EnclosingGroupOf(QWidget* w)
{
    for (QWidget* p = w->parentWidget(); p; p = p->parentWidget())
        if (auto* g = qobject_cast<QGroupBox*>(p))
            return g;
    return nullptr;
}

// The nearest page of a page set that holds the widget.
inline QWidget* EnclosingPageOf(QWidget* w)
{
    for (QWidget* p = w->parentWidget(); p; p = p->parentWidget())
        if (qobject_cast<QStackedWidget*>(p->parentWidget()) &&
            qobject_cast<QTabWidget*>(p->parentWidget()->parentWidget()))
            return p;
    return nullptr;
}

inline QList<QRadioButton*> DirectRadios(QWidget* w)
{
    return w->findChildren<QRadioButton*>(QString(), Qt::FindDirectChildrenOnly);
}

inline QString Line(QWidget* root, QWidget* w)
{
    QString caption = kNone, buddy = kNone, items = kNone, initial = kNone, range = kNone, maxLength = kNone;
    QStringList flags;

    if (auto* t = qobject_cast<QToolButton*>(w))
        caption = Text(t->toolTip());
    else if (auto* b = qobject_cast<QAbstractButton*>(w))
        caption = Text(b->text());
    else if (auto* l = qobject_cast<QLabel*>(w)) {
        caption = Text(l->text());
        if (l->buddy())
            buddy = QStringLiteral("for ") + NameOf(l->buddy());
    } else if (auto* g = qobject_cast<QGroupBox*>(w))
        caption = Text(g->title());
    else {
        const QList<QLabel*> labels = BuddyLabels(root, w);
        if (!labels.isEmpty()) {
            QStringList captions, names;
            for (QLabel* l : labels) {
                captions << Text(l->text());
                names << NameOf(l);
            }
            caption = captions.join(kFormSnapshotItemSeparator);
            buddy = names.join(QLatin1Char(','));
        }
    }

    if (auto* c = qobject_cast<QComboBox*>(w)) {
        QStringList texts;
        for (int i = 0; i < c->count(); ++i)
            texts << c->itemText(i);
        items = Items(texts);
        initial = QString::number(c->currentIndex());
        if (c->isEditable())
            flags << QStringLiteral("editable");
    } else if (auto* g = qobject_cast<QGroupBox*>(w)) {
        const auto radios = DirectRadios(g);
        if (!radios.isEmpty()) {
            QStringList texts;
            int checked = -1;
            for (int i = 0; i < radios.size(); ++i) {
                texts << radios[i]->text();
                if (radios[i]->isChecked())
                    checked = i;
            }
            items = Items(texts);
            initial = QString::number(checked);
        }
        if (g->isCheckable())
            flags << QStringLiteral("checkable");
    } else if (auto* e = qobject_cast<QLineEdit*>(w)) {
        initial = Text(e->text());
        maxLength = QString::number(e->maxLength());
        if (e->isReadOnly())
            flags << QStringLiteral("readonly");
        if (e->echoMode() != QLineEdit::Normal)
            flags << QStringLiteral("echo=%1").arg(int(e->echoMode()));
    } else if (auto* s = qobject_cast<QSpinBox*>(w)) {
        initial = QString::number(s->value());
        range = QStringLiteral("%1..%2 step %3").arg(s->minimum()).arg(s->maximum()).arg(s->singleStep());
    } else if (auto* t = qobject_cast<QTimeEdit*>(w)) {
        initial = t->time().toString(QStringLiteral("HH:mm:ss"));
        range = t->minimumTime().toString(QStringLiteral("HH:mm:ss")) + QStringLiteral("..") +
                t->maximumTime().toString(QStringLiteral("HH:mm:ss"));
        flags << QStringLiteral("format=") + Text(t->displayFormat());
    } else if (auto* s = qobject_cast<QSlider*>(w)) {
        initial = QString::number(s->value());
        range = QStringLiteral("%1..%2 tick %3").arg(s->minimum()).arg(s->maximum()).arg(s->tickInterval());
        flags << (s->orientation() == Qt::Horizontal ? QStringLiteral("horizontal") : QStringLiteral("vertical"));
        flags << QStringLiteral("ticks=%1").arg(int(s->tickPosition()));
    } else if (auto* b = qobject_cast<QAbstractButton*>(w); b && b->isCheckable()) {
        initial = b->isChecked() ? QStringLiteral("checked") : QStringLiteral("unchecked");
    } else if (auto* l = qobject_cast<QListWidget*>(w)) {
        QStringList texts;
        for (int i = 0; i < l->count(); ++i)
            texts << l->item(i)->text();
        items = Items(texts);
        initial = QString::number(l->count());
    } else if (auto* m = qobject_cast<QPlainTextEdit*>(w)) {
        initial = Text(m->toPlainText());
        if (m->isReadOnly())
            flags << QStringLiteral("readonly");
    } else if (auto* tabs = qobject_cast<QTabWidget*>(w)) {
        QStringList texts;
        for (int i = 0; i < tabs->count(); ++i)
            texts << NameOf(tabs->widget(i)) + QLatin1Char('=') + tabs->tabText(i);
        items = Items(texts);
        initial = QString::number(tabs->currentIndex());
    }
    if (w->isHidden())
        flags << QStringLiteral("hidden");

    const QVariant minVersion = w->property("minVersion");
    const QVariant keyFilter = w->property("keyFilter");
    const QStringList columns = {
        w->objectName().isEmpty() ? QStringLiteral("(unnamed)") : w->objectName(),
        QString::fromLatin1(w->metaObject()->className()),
        caption,
        buddy,
        items,
        initial,
        range,
        minVersion.isValid() ? QString::number(minVersion.toInt()) : kNone,
        keyFilter.isValid() ? Text(keyFilter.toString()) : kNone,
        maxLength,
        IsOwnEnabled(w) ? QStringLiteral("on") : QStringLiteral("off"),
        NameOf(EnclosingGroupOf(w)),
        NameOf(EnclosingPageOf(w)),
        flags.isEmpty() ? kNone : flags.join(QLatin1Char(',')),
    };
    return columns.join(kFormSnapshotSeparator);
}

} // namespace form_snapshot

// Every page of the page set in tab order, each page's widgets in the
// order the form builds them. Unnamed widgets are left out unless they carry
// a gate or a filter.
inline QString FormSnapshot(QTabWidget& pages)
{
    QStringList lines;
    lines << QStringLiteral("# ") + kFormSnapshotColumns.join(kFormSnapshotSeparator);
    for (int i = 0; i < pages.count(); ++i) {
        QWidget* page = pages.widget(i);
        lines << QStringLiteral("== %1 \"%2\"").arg(page->objectName(), pages.tabText(i));
        for (QWidget* w : page->findChildren<QWidget*>()) {
            const QString name = w->objectName();
            // Qt's own parts: the qt_* children and the tab bars' scroll
            // buttons, which follow the style rather than the form.
            if (name.startsWith(QLatin1String("qt_")) || qobject_cast<QTabBar*>(w->parentWidget()))
                continue;
            if (name.isEmpty() && !w->property("minVersion").isValid() && !w->property("keyFilter").isValid())
                continue;
            lines << form_snapshot::Line(page, w);
        }
    }
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

} // namespace plendoro::test
