#include "editor/pages/CanPage.h"

#include "ui_CanPage.h"

namespace plendoro {

CanPage::CanPage(QWidget* parent) : QWidget(parent), ui_(std::make_unique<Ui::CanPage>())
{
    // Page name, caption, initial values and field metadata all come from
    // the form.
    ui_->setupUi(this);
}

CanPage::~CanPage() = default;

} // namespace plendoro
