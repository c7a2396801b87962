#include "editor/binding/FieldAccess.h"

#include "editor/Editor.h"
#include "editor/FieldLookup.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QSpinBox>
#include <QTimeEdit>

namespace plendoro {

namespace {
QList<QRadioButton*> ButtonsOf(QWidget* group)
{
    QList<QRadioButton*> buttons;
    if (!group)
        return buttons;
    for (int i = 0;; ++i) {
        auto* b = group->findChild<QRadioButton*>(group->objectName() + QLatin1Char('_') + QString::number(i));
        if (!b)
            break;
        buttons << b;
    }
    return buttons;
}
} // namespace

namespace {
thread_local FieldReadRecorder* recorder = nullptr;
} // namespace

FieldReadRecorder::FieldReadRecorder() : outer_(recorder)
{
    recorder = this;
}

FieldReadRecorder::~FieldReadRecorder()
{
    recorder = outer_;
}

bool FieldReadRecorder::Active()
{
    return recorder != nullptr;
}

void FieldReadRecorder::Note(const QString& name)
{
    if (recorder && !recorder->names_.contains(name))
        recorder->names_ << name;
}

QString FieldAccess::Name(const char* prefix, int n, const char* suffix)
{
    return QLatin1String(prefix) + QString::number(n) + QLatin1String(suffix);
}

QWidget* FieldAccess::Find(const QString& name) const
{
    FieldReadRecorder::Note(name);
    return editor_.Field(name);
}

QWidget* FieldAccess::Target(const QString& name) const
{
    return FieldReadRecorder::Active() ? nullptr : editor_.Field(name);
}

std::string FieldAccess::Text(const QString& name) const
{
    QWidget* w = Find(name);
    if (auto* e = qobject_cast<QLineEdit*>(w))
        return e->text().toStdString();
    if (auto* s = qobject_cast<QSpinBox*>(w))
        return s->text().toStdString();
    return {};
}

// NOLINTBEGIN(readability-make-member-function-const): the setters change the fields, not the lookup
void FieldAccess::SetText(const QString& name, const std::string& text)
{
    if (auto* e = qobject_cast<QLineEdit*>(Target(name)))
        e->setText(QString::fromStdString(text));
}

int FieldAccess::Index(const QString& name) const
{
    auto* c = qobject_cast<QComboBox*>(Find(name));
    return c ? c->currentIndex() : -1;
}

void FieldAccess::SetIndex(const QString& name, int index)
{
    auto* c = qobject_cast<QComboBox*>(Target(name));
    if (!c)
        return;
    // A position the list does not hold leaves it with no selection.
    c->setCurrentIndex(index >= 0 && index < c->count() ? index : -1);
}

int FieldAccess::Count(const QString& name) const
{
    auto* c = qobject_cast<QComboBox*>(Find(name));
    return c ? c->count() : 0;
}

bool FieldAccess::Checked(const QString& name) const
{
    auto* b = qobject_cast<QAbstractButton*>(Find(name));
    return b && b->isChecked();
}

void FieldAccess::SetChecked(const QString& name, bool checked)
{
    if (auto* b = qobject_cast<QAbstractButton*>(Target(name)))
        b->setChecked(checked);
}

int FieldAccess::Radio(const QString& group) const
{
    const auto buttons = ButtonsOf(Find(group));
    for (int i = 0; i < buttons.size(); ++i)
        if (buttons[i]->isChecked())
            return i;
    return -1;
}

void FieldAccess::SetRadio(const QString& group, int position)
{
    const auto buttons = ButtonsOf(Target(group));
    if (position >= 0 && position < buttons.size()) {
        buttons[position]->setChecked(true);
        return;
    }
    for (QRadioButton* b : buttons) {
        b->setAutoExclusive(false);
        b->setChecked(false);
        b->setAutoExclusive(true);
    }
}

int FieldAccess::Spin(const QString& name) const
{
    auto* s = qobject_cast<QSpinBox*>(Find(name));
    return s ? s->value() : 0;
}

void FieldAccess::SetSpin(const QString& name, int value)
{
    if (auto* s = qobject_cast<QSpinBox*>(Target(name)))
        s->setValue(value); // the spin field keeps it inside its range
}

TimeOfDay FieldAccess::Time(const QString& name) const
{
    auto* t = qobject_cast<QTimeEdit*>(Find(name));
    if (!t)
        return {};
    return {t->time().hour(), t->time().minute()};
}

void FieldAccess::SetTime(const QString& name, TimeOfDay time)
{
    if (auto* t = qobject_cast<QTimeEdit*>(Target(name)))
        t->setTime(QTime(((time.hour % 24) + 24) % 24, ((time.minute % 60) + 60) % 60));
}

std::vector<std::string> FieldAccess::Items(const QString& name) const
{
    std::vector<std::string> items;
    if (auto* l = qobject_cast<QListWidget*>(Find(name)))
        for (int i = 0; i < l->count(); ++i)
            items.push_back(l->item(i)->text().toStdString());
    return items;
}

void FieldAccess::SetItems(const QString& name, const std::vector<std::string>& items)
{
    auto* l = qobject_cast<QListWidget*>(Target(name));
    if (!l)
        return;
    // Encoding writes the list back as it read it; rebuilding it then would
    // drop the user's selection, and "Удалить" would find nothing to delete.
    if (Items(name) == items)
        return;
    l->clear();
    for (const auto& item : items)
        l->addItem(QString::fromStdString(item));
}

bool FieldAccess::Enabled(const QString& name) const
{
    return IsOwnEnabled(Find(name));
}

void FieldAccess::SetEnabled(const QString& name, bool enabled)
{
    if (QWidget* w = Target(name))
        w->setEnabled(enabled);
}
// NOLINTEND(readability-make-member-function-const)

} // namespace plendoro
