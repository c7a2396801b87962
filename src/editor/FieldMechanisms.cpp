#include "editor/FieldMechanisms.h"

#include <QAbstractButton>
#include <QEvent>
#include <QCheckBox>
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

int MinimumVersionOf(const QWidget* w)
{
    const QVariant v = w->property("minVersion");
    return v.isValid() ? v.toInt() : -1;
}

void ApplyVersionGate(QTabWidget* pages, int firmwareVersion)
{
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
        auto* nmea = pages->findChild<QAbstractButton*>(QStringLiteral("transfNMEA"));
        if (nmea && IsOwnEnabled(nmea)) {
            for (const char* name : {"edIpUDPServer", "edPortUDPServer"})
                if (auto* f = pages->findChild<QWidget*>(QLatin1String(name)))
                    f->setEnabled(nmea->isChecked());
        }
    };
    gate(false);
    gate(true);
}

void BringPagesForward(QWidget* field)
{
    for (QWidget* w = field; w; w = w->parentWidget()) {
        QWidget* parent = w->parentWidget();
        auto* stack = qobject_cast<QStackedWidget*>(parent);
        if (!stack)
            continue;
        if (auto* tabs = qobject_cast<QTabWidget*>(stack->parentWidget()))
            tabs->setCurrentWidget(w);
    }
}

FieldBalloon::FieldBalloon() : QLabel(nullptr, Qt::ToolTip | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("ErrorBalloon"));
    setStyleSheet(QStringLiteral("QLabel { background: #ffffe1; color: black; border: 1px solid #767676;"
                                 " border-radius: 4px; padding: 6px 10px; font-weight: bold; }"));
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, &QWidget::hide);
}

FieldBalloon& FieldBalloon::Instance()
{
    static FieldBalloon* balloon = new FieldBalloon; // lives as long as the application
    return *balloon;
}

void FieldBalloon::ShowAt(const QPoint& globalAnchor, const QString& message)
{
    hide();
    setText(message);
    adjustSize();
    move(globalAnchor);
    show();
    raise();
    timer_.start(kTimeoutMs);
}

void FieldBalloon::HideIfShown()
{
    timer_.stop();
    hide();
}

QPoint BalloonAnchor(const QWidget* field)
{
    const QPoint origin = field->mapToGlobal(QPoint(0, 0));
    return origin + QPoint(field->width() * 30 / 100, field->height() * 60 / 100);
}

void ShowFieldError(const QString& message, QWidget* field)
{
    if (!field)
        return;
    BringPagesForward(field);
    if (message.isEmpty())
        return;
    if (field->isEnabled())
        field->setFocus(Qt::OtherFocusReason);
    FieldBalloon& balloon = FieldBalloon::Instance();
    balloon.SetField(field);
    balloon.ShowAt(BalloonAnchor(field), message);
}

void HideBallon()
{
    FieldBalloon::Instance().HideIfShown();
}

namespace {

class BalloonCloser final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::FocusOut)
            HideBallon();
        return QObject::eventFilter(watched, event);
    }
};

QStringList Family(const char* prefix, int last, const char* suffix = "")
{
    QStringList names;
    for (int i = 1; i <= last; ++i)
        names << QLatin1String(prefix) + QString::number(i) + QLatin1String(suffix);
    return names;
}

} // namespace

void InstallBalloonClosers(QWidget* root)
{
    QStringList onEditAndLeave = {
        QStringLiteral("edWritePeriod"), QStringLiteral("edPassword"), QStringLiteral("edServer"),
        QStringLiteral("edServerPort"), QStringLiteral("edSendPeriod"), QStringLiteral("edSSID"),
        QStringLiteral("edWEPKey"), QStringLiteral("edIpAddress"), QStringLiteral("edIpMask"),
        QStringLiteral("edDefGate"), QStringLiteral("edCnt12SendPeriod"), QStringLiteral("edCnt34SendPeriod"),
        QStringLiteral("edAIn1AdLevel"), QStringLiteral("edAIn2AdLevel"), QStringLiteral("edAIn1AverPeriod"),
        QStringLiteral("edAIn2AverPeriod"), QStringLiteral("edAInWritePeriod"), QStringLiteral("edLLSWritePeriod58"),
        QStringLiteral("edIbAddr"), QStringLiteral("edItempWritePeriod58"), QStringLiteral("edCANPeriodSave"),
    };
    onEditAndLeave << Family("edSendEvtLenIn", 8) << Family("edLLSAddr", 8) << Family("edItempAddr", 8);
    const QStringList onLeave = {QStringLiteral("edCnt56SendPeriod"), QStringLiteral("edCnt78SendPeriod"),
                                 QStringLiteral("edLLSWritePeriod14")};
    // Leaving a duration field runs its mirror, which closes the balloon too.
    const QStringList onEdit = Family("edIn", 8, "Duration");

    auto* closer = new BalloonCloser(root);
    closer->setObjectName(QStringLiteral("BalloonCloser"));
    for (const QString& name : onEditAndLeave + onEdit + onLeave) {
        QWidget* w = root->findChild<QWidget*>(name);
        if (!w)
            continue;
        // Text fields and spin fields both announce their text.
        if (!onLeave.contains(name))
            QObject::connect(w, SIGNAL(textChanged(QString)), &FieldBalloon::Instance(), SLOT(HideIfShown()));
        w->installEventFilter(closer);
    }
}

} // namespace plendoro
