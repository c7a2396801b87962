#pragma once
#include <QDialog>

class QLabel;

namespace plendoro {

// "О программе": not modal, one at a time, destroyed when closed.
class TAboutForm final : public QDialog {
    Q_OBJECT
public:
    explicit TAboutForm(QWidget* parent = nullptr);
    QLabel* VersionLabel() const { return version_; }

    static constexpr const char* kSiteUrl = "https://kovaltrak.ru";
    static constexpr const char* kMailUrl = "mailto:support@kovaltrak.ru";

private:
    QLabel* version_ = nullptr;
};

} // namespace plendoro
