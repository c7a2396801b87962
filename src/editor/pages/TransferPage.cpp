#include "editor/pages/TransferPage.h"

#include "ui_TransferPage.h"

namespace plendoro {

TransferPage::TransferPage(QWidget* parent) : QWidget(parent), ui_(std::make_unique<Ui::TransferPage>())
{
    ui_->setupUi(this);
}

TransferPage::~TransferPage() = default;

} // namespace plendoro
