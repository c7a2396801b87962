#pragma once
#include <QDialog>

class QLabel;

namespace plendoro {

// "О программе": not modal, one at a time, destroyed when closed.
class TAboutForm final : public QDialog {
    Q_OBJECT
public:
    // `usbLibrary`: the D2XX library file in use, empty when none is named.
    explicit TAboutForm(const QString& usbLibrary = QString(), QWidget* parent = nullptr);
    QLabel* VersionLabel() const { return version_; }
    QLabel* LibraryLabel() const { return library_; }

    static constexpr const char* kSiteUrl = "https://kovaltrak.ru";
    static constexpr const char* kMailUrl = "mailto:support@kovaltrak.ru";

private:
    QLabel* version_ = nullptr;
    QLabel* library_ = nullptr;
};

} // namespace plendoro
