#include "editor/FieldLookup.h"

#include <QGroupBox>
#include <QScrollArea>
#include <QStackedWidget>
#include <QTabWidget>

namespace plendoro {

bool IsOwnEnabled(const QWidget* w)
{
    return w && !w->testAttribute(Qt::WA_ForceDisabled);
}

namespace {

bool IsContainer(const QWidget* w)
{
    if (qobject_cast<const QGroupBox*>(w) || qobject_cast<const QTabWidget*>(w) ||
        qobject_cast<const QStackedWidget*>(w) || qobject_cast<const QScrollArea*>(w))
        return true;
    // Pages and plain panels: widgets of the base classes themselves.
    const char* cls = w->metaObject()->className();
    return qstrcmp(cls, "QWidget") == 0 || qstrcmp(cls, "QFrame") == 0 ||
           (w->parentWidget() && qobject_cast<const QStackedWidget*>(w->parentWidget()));
}

} // namespace

QWidget* FindFieldByName(const QString& name, QWidget* container)
{
    if (!container)
        return nullptr;
    for (QObject* o : container->children()) {
        auto* w = qobject_cast<QWidget*>(o);
        if (!w)
            continue;
        if (IsContainer(w)) {
            if (QWidget* hit = FindFieldByName(name, w))
                return hit;
            // Names are unique, so a container asked for by name is found too.
            if (w->objectName() == name)
                return w;
        } else if (w->objectName() == name) {
            return w;
        }
    }
    return nullptr;
}

void BringPagesForward(QWidget* field)
{
    for (QWidget* w = field; w; w = w->parentWidget()) {
        QWidget* parent = w->parentWidget();
        // A page that scrolls shows the field.
        if (auto* scroll = qobject_cast<QScrollArea*>(w))
            scroll->ensureWidgetVisible(field);
        auto* stack = qobject_cast<QStackedWidget*>(parent);
        if (!stack)
            continue;
        if (auto* tabs = qobject_cast<QTabWidget*>(stack->parentWidget()))
            tabs->setCurrentWidget(w);
    }
}

} // namespace plendoro
