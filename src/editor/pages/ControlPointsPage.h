#pragma once
// Page "Контрольные точки" (TabSheet3): the dormant control-point editor. The
// form starts the page disabled, its page set CPPageControl hidden and every
// field disabled. The three control points share one set of fields, which
// lives on the first page (grouped in gbCPFields so the show rule can move it
// to whichever page becomes current).
#include <QWidget>

#include <memory>

namespace Ui {
class ControlPointsPage;
}

namespace plendoro {

class ControlPointsPage : public QWidget {
    Q_OBJECT

public:
    explicit ControlPointsPage(QWidget* parent = nullptr);
    ~ControlPointsPage() override;

private:
    std::unique_ptr<Ui::ControlPointsPage> ui_;
};

} // namespace plendoro
