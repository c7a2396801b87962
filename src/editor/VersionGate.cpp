#include "editor/VersionGate.h"

#include "editor/Editor.h"
#include "editor/FieldLookup.h"

#include <QAbstractButton>
#include <QTabWidget>
#include <QVariant>

namespace plendoro {

namespace {

template <typename F>
void WalkFields(QWidget* root, F&& visit)
{
    for (QObject* o : root->children()) {
        auto* w = qobject_cast<QWidget*>(o);
        if (!w)
            continue;
        visit(w);
        WalkFields(w, visit);
    }
}

} // namespace

int MinimumVersionOf(const QWidget* w)
{
    const QVariant v = w->property("minVersion");
    return v.isValid() ? v.toInt() : -1;
}

void ApplyVersionGate(SettingsEditor& editor, int firmwareVersion)
{
    QTabWidget* pages = editor.Pages();
    if (!pages)
        return;
    auto gate = [&](bool enabling) {
        for (int i = 0; i < pages->count(); ++i) {
            QWidget* page = pages->widget(i);
            WalkFields(page, [&](QWidget* w) {
                const int min = MinimumVersionOf(w);
                if (min < 0)
                    return;
                if (!enabling)
                    w->setEnabled(false);
                else if (min <= firmwareVersion)
                    w->setEnabled(true);
            });
        }
        // NMEA forwarding fields follow their box whenever the box is usable.
        auto* nmea = editor.FieldAs<QAbstractButton>(QStringLiteral("transfNMEA"));
        if (nmea && IsOwnEnabled(nmea)) {
            for (const char* name : {"edIpUDPServer", "edPortUDPServer"})
                if (QWidget* f = editor.Field(QLatin1String(name)))
                    f->setEnabled(nmea->isChecked());
        }
    };
    gate(false);
    gate(true);
}

} // namespace plendoro
