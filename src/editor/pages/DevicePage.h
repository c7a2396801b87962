#pragma once
// Page "Настройки прибора" (BaseSettings) of the main page set. Field metadata
// (minimum firmware version, key filter, maximum length) sits on the form, so
// the version gate and the key filters read it from the widgets themselves; the
// page's rules are attached by the editor from outside.
//
// The firmware group "Прошивка" is on the form but hidden: the feature is
// dormant and only its own operations reach it.

#include <QWidget>
#include <memory>

namespace Ui {
class DevicePage;
}

namespace plendoro {

class DevicePage : public QWidget {
    Q_OBJECT
public:
    explicit DevicePage(QWidget* parent = nullptr);
    ~DevicePage() override;

private:
    std::unique_ptr<Ui::DevicePage> ui_;
};

} // namespace plendoro
