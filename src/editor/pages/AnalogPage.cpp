#include "editor/pages/AnalogPage.h"

#include "ui_AnalogPage.h"

namespace plendoro {

AnalogPage::AnalogPage(QWidget* parent) : QWidget(parent), ui_(std::make_unique<Ui::AnalogPage>())
{
    // Page name, caption, initial values and field metadata all come from
    // the form.
    ui_->setupUi(this);
}

AnalogPage::~AnalogPage() = default;

} // namespace plendoro
