#pragma once
// The one error balloon of the window: the checks before writing point at
// the field they refuse with it.
#include <QLabel>
#include <QPointer>
#include <QString>
#include <QTimer>

namespace plendoro {

class SettingsEditor;

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
void InstallBalloonClosers(SettingsEditor& editor);

} // namespace plendoro
