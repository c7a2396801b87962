#pragma once
// Inner page "1-Wire" of "Расширения": iButton keys and temperature sensors.
// The temperature slots sit in the group gbItemp because the 1-Wire block
// coder finds them there by composed name.
#include <QWidget>

#include <memory>

namespace Ui {
class OneWirePage;
}

namespace plendoro {

class OneWirePage : public QWidget {
    Q_OBJECT

public:
    explicit OneWirePage(QWidget* parent = nullptr);
    ~OneWirePage() override;

private:
    std::unique_ptr<Ui::OneWirePage> ui_;
};

} // namespace plendoro
