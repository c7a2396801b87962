#pragma once
// Page "Настройки WiFI" (TabSheet1) of the main page set. Field metadata
// (minimum firmware version, key filter, maximum length) sits on the form, so
// the version gate and the key filters read it from the widgets themselves; the
// page's rules are attached by the editor from outside.

#include <QWidget>
#include <memory>

namespace Ui {
class WifiPage;
}

namespace plendoro {

class WifiPage : public QWidget {
    Q_OBJECT
public:
    explicit WifiPage(QWidget* parent = nullptr);
    ~WifiPage() override;

private:
    std::unique_ptr<Ui::WifiPage> ui_;
};

} // namespace plendoro
