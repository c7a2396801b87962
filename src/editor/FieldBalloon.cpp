#include "editor/FieldBalloon.h"

#include "editor/Editor.h"
#include "editor/FieldLookup.h"

#include <QEvent>
#include <QTabWidget>

namespace plendoro {

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

void InstallBalloonClosers(SettingsEditor& editor)
{
    QStringList onEditAndLeave = {
        QStringLiteral("edWritePeriod"),     QStringLiteral("edPassword"),
        QStringLiteral("edServer"),          QStringLiteral("edServerPort"),
        QStringLiteral("edSendPeriod"),      QStringLiteral("edSSID"),
        QStringLiteral("edWEPKey"),          QStringLiteral("edIpAddress"),
        QStringLiteral("edIpMask"),          QStringLiteral("edDefGate"),
        QStringLiteral("edCnt12SendPeriod"), QStringLiteral("edCnt34SendPeriod"),
        QStringLiteral("edAIn1AdLevel"),     QStringLiteral("edAIn2AdLevel"),
        QStringLiteral("edAIn1AverPeriod"),  QStringLiteral("edAIn2AverPeriod"),
        QStringLiteral("edAInWritePeriod"),  QStringLiteral("edLLSWritePeriod58"),
        QStringLiteral("edIbAddr"),          QStringLiteral("edItempWritePeriod58"),
        QStringLiteral("edCANPeriodSave"),
    };
    onEditAndLeave << Family("edSendEvtLenIn", 8) << Family("edLLSAddr", 8) << Family("edItempAddr", 8);
    const QStringList onLeave = {QStringLiteral("edCnt56SendPeriod"), QStringLiteral("edCnt78SendPeriod"),
                                 QStringLiteral("edLLSWritePeriod14")};
    // Leaving a duration field runs its mirror, which closes the balloon too.
    const QStringList onEdit = Family("edIn", 8, "Duration");

    auto* closer = new BalloonCloser(editor.Pages());
    closer->setObjectName(QStringLiteral("BalloonCloser"));
    for (const QString& name : onEditAndLeave + onEdit + onLeave) {
        QWidget* w = editor.Field(name);
        if (!w)
            continue;
        // Text fields and spin fields both announce their text.
        if (!onLeave.contains(name))
            QObject::connect(w, SIGNAL(textChanged(QString)), &FieldBalloon::Instance(), SLOT(HideIfShown()));
        w->installEventFilter(closer);
    }
}

} // namespace plendoro
