#pragma once
// Inner page "RS485" of "Расширения": fuel level sensors, bus speed and the
// external receiver. Rules are attached by the editor.
#include <QWidget>

#include <memory>

namespace Ui {
class Rs485Page;
}

namespace plendoro {

class Rs485Page : public QWidget {
    Q_OBJECT

public:
    explicit Rs485Page(QWidget* parent = nullptr);
    ~Rs485Page() override;

private:
    std::unique_ptr<Ui::Rs485Page> ui_;
};

} // namespace plendoro
