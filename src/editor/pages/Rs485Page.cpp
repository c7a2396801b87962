#include "editor/pages/Rs485Page.h"

#include "ui_Rs485Page.h"

namespace plendoro {

Rs485Page::Rs485Page(QWidget* parent) : QWidget(parent), ui_(std::make_unique<Ui::Rs485Page>())
{
    // Page name, caption, initial values and field metadata all come from
    // the form.
    ui_->setupUi(this);
}

Rs485Page::~Rs485Page() = default;

} // namespace plendoro
