#include "TransferPage.h"

#include "ui_TransferPage.h"

TransferPage::TransferPage(QWidget* parent)
    : QWidget(parent)
    , ui_(std::make_unique<Ui::TransferPage>())
{
    ui_->setupUi(this);
}

TransferPage::~TransferPage() = default;
