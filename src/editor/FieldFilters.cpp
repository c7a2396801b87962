#include "editor/FieldFilters.h"

#include <QAbstractSpinBox>
#include <QCoreApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QWidget>

namespace plendoro {

namespace {

bool isAsciiDigit(char16_t u)
{
    return u >= u'0' && u <= u'9';
}
bool isAsciiLetter(char16_t u)
{
    return (u >= u'A' && u <= u'Z') || (u >= u'a' && u <= u'z');
}

// The filter class of a watched object. The inner line edit of a spin box
// takes the class of its spin box, where the form keeps the property.
QString filterClassOf(const QObject* obj)
{
    QString cls = obj->property(kKeyFilterProperty).toString();
    if (cls.isEmpty() && qobject_cast<const QLineEdit*>(obj) && qobject_cast<const QAbstractSpinBox*>(obj->parent()))
        cls = obj->parent()->property(kKeyFilterProperty).toString();
    return cls;
}

// Characters a key press carries that are not text: backspace, tab, escape,
// delete. They edit or navigate and pass every class (Enter is caught before).
bool isControlCode(QChar c)
{
    return c.unicode() < 0x20 || c.unicode() == 0x7f;
}

class FieldKeyFilter final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress)
            return refuseKey(filterClassOf(watched), static_cast<QKeyEvent*>(event));
        if (event->type() == QEvent::InputMethod && !reentered_)
            return filterComposed(watched, static_cast<QInputMethodEvent*>(event));
        return false;
    }

private:
    static bool refuseKey(const QString& cls, const QKeyEvent* key)
    {
        if (cls.isEmpty())
            return false;
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
            return true;
        // Shortcuts (copy, paste, cut, undo, select all) are not typing. A
        // Ctrl+Alt chord may be AltGr producing a character, so it is checked.
        const Qt::KeyboardModifiers mods = key->modifiers();
        if ((mods & Qt::ControlModifier) && !(mods & Qt::AltModifier))
            return false;
        const QString text = key->text();
        for (QChar c : text) {
            if (!isControlCode(c) && !FieldFilterAccepts(cls, c))
                return true;
        }
        return false;
    }

    // Characters composed by an input method arrive without a key press; the
    // refused ones are taken out of the commit so that they cannot sneak in.
    bool filterComposed(QObject* watched, QInputMethodEvent* ime)
    {
        const QString cls = filterClassOf(watched);
        const QString& commit = ime->commitString();
        if (cls.isEmpty() || commit.isEmpty())
            return false;
        QString kept;
        for (QChar c : commit) {
            if (FieldFilterAccepts(cls, c))
                kept.append(c);
        }
        if (kept == commit)
            return false;
        QInputMethodEvent narrowed(ime->preeditString(), ime->attributes());
        narrowed.setCommitString(kept, ime->replacementStart(), ime->replacementLength());
        reentered_ = true;
        QCoreApplication::sendEvent(watched, &narrowed);
        reentered_ = false;
        return true;
    }

    bool reentered_ = false;
};

// One filter object serves every field of the process.
FieldKeyFilter* sharedFilter()
{
    static QPointer<FieldKeyFilter> filter;
    if (!filter)
        filter = new FieldKeyFilter(QCoreApplication::instance());
    return filter;
}

} // namespace

bool FieldFilterAccepts(const QString& filterClass, QChar c)
{
    const char16_t u = c.unicode();
    if (u == 8 || u == 3 || u == 22)
        return true;
    if (filterClass == QLatin1String(kFilterNumeric))
        return isAsciiDigit(u);
    if (filterClass == QLatin1String(kFilterHex))
        return isAsciiDigit(u) || (u >= u'a' && u <= u'f') || (u >= u'A' && u <= u'F');
    if (filterClass == QLatin1String(kFilterAddress))
        return isAsciiDigit(u) || u == u'.';
    if (filterClass == QLatin1String(kFilterLiteral))
        return isAsciiDigit(u) || isAsciiLetter(u) || u == u'_' || u == u'-' || u == u'+' || u == u' ' || u == u'.';
    return true;
}

void InstallFieldFilters(QWidget* root)
{
    if (!root)
        return;
    FieldKeyFilter* filter = sharedFilter();
    // installEventFilter moves an already installed filter to the front
    // instead of adding it twice, so a repeated call arms nothing twice.
    auto arm = [filter](QWidget* w) {
        if (auto* spin = qobject_cast<QAbstractSpinBox*>(w)) {
            if (spin->property(kKeyFilterProperty).toString().isEmpty())
                return;
            // Keys reach a spin box either through its focused line edit or,
            // when sent to the spin box itself, by a direct call into the
            // line edit that bypasses the line edit's filters.
            spin->installEventFilter(filter);
            if (auto* edit = spin->findChild<QLineEdit*>(QString(), Qt::FindDirectChildrenOnly))
                edit->installEventFilter(filter);
        } else if (auto* edit = qobject_cast<QLineEdit*>(w)) {
            if (!edit->property(kKeyFilterProperty).toString().isEmpty())
                edit->installEventFilter(filter);
        }
    };
    arm(root);
    for (QWidget* w : root->findChildren<QWidget*>())
        arm(w);
}

} // namespace plendoro
