#pragma once
// Mechanisms every editor page relies on: finding a field by its composed
// name, the firmware version gate, and the one error balloon.
#include <QLabel>
#include <QPointer>
#include <QString>
#include <QTimer>

class QTabWidget;

namespace plendoro {

// A field's own enabled flag, as the rules set it; a field inside a
// disabled group keeps its own flag.
bool IsOwnEnabled(const QWidget* w);

// Depth-first over the container's children in order: groups, page sets,
// pages and plain panels are searched, other children are compared by name.
QWidget* FindFieldByName(const QString& name, QWidget* container);

// Disables every field and caption carrying a minimum version, then enables
// those the firmware version allows; the NMEA forwarding fields then follow
// their box.
void ApplyVersionGate(QTabWidget* pages, int firmwareVersion);
// The minimum version a field carries, or -1.
int MinimumVersionOf(const QWidget* w);

// Brings forward every page holding the field (nested page sets too).
void BringPagesForward(QWidget* field);

// The one error balloon of the window.
class FieldBalloon final : public QLabel {
    Q_OBJECT
public:
    static constexpr int kTimeoutMs = 3000;
    static FieldBalloon& Instance();

    void ShowAt(const QPoint& globalAnchor, const QString& message);
    QWidget* Field() const { return field_; }
    void SetField(QWidget* field) { field_ = field; }
    QTimer& Timer() { return timer_; }

public slots:
    void HideIfShown();

private:
    FieldBalloon();
    QTimer timer_;
    QPointer<QWidget> field_;
};

// Opens the pages holding the field, focuses it when it is enabled and shows
// the message in the balloon at 30 % of its width and 60 % of its height.
void ShowFieldError(const QString& message, QWidget* field);
QPoint BalloonAnchor(const QWidget* field);
// Closes the balloon if it is shown.
void HideBallon();

// Closes the balloon when the user edits or leaves the fields that have
// that habit; a few fields keep it for its full time.
void InstallBalloonClosers(QWidget* root);

} // namespace plendoro
