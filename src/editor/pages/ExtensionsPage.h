#pragma once
// Page "Расширения" (TabSheet11). Its inner page set PageControl2 holds the
// RS485, 1-Wire and CAN pages, each a form and class of its own so that each
// stays small; this page only assembles them.
#include <QWidget>

#include <memory>

namespace Ui {
class ExtensionsPage;
}

namespace plendoro {

class Rs485Page;
class OneWirePage;
class CanPage;

class ExtensionsPage : public QWidget {
    Q_OBJECT

public:
    explicit ExtensionsPage(QWidget* parent = nullptr);
    ~ExtensionsPage() override;

    Rs485Page* rs485Page() const { return rs485_; }
    OneWirePage* oneWirePage() const { return oneWire_; }
    CanPage* canPage() const { return can_; }

private:
    std::unique_ptr<Ui::ExtensionsPage> ui_;
    Rs485Page* rs485_;
    OneWirePage* oneWire_;
    CanPage* can_;
};

} // namespace plendoro
