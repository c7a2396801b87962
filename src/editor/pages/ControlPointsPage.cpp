#include "editor/pages/ControlPointsPage.h"

#include "ui_ControlPointsPage.h"

namespace plendoro {

ControlPointsPage::ControlPointsPage(QWidget* parent) : QWidget(parent), ui_(std::make_unique<Ui::ControlPointsPage>())
{
    // Page name, caption, disabled state and fields come from the form.
    ui_->setupUi(this);
    // Hidden here rather than on the form: the form editor does not keep a
    // widget's visibility.
    ui_->CPPageControl->hide();
}

ControlPointsPage::~ControlPointsPage() = default;

} // namespace plendoro
