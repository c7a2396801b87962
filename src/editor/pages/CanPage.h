#pragma once
// Inner page "CAN" of "Расширения": the CAN search and the parameter lists.
// The round tool buttons get their images from the main window, which
// recolours them from the system palette.
#include <QWidget>

#include <memory>

namespace Ui {
class CanPage;
}

namespace plendoro {

class CanPage : public QWidget {
    Q_OBJECT

public:
    explicit CanPage(QWidget* parent = nullptr);
    ~CanPage() override;

private:
    std::unique_ptr<Ui::CanPage> ui_;
};

} // namespace plendoro
