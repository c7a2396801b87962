#include "WifiPage.h"

#include "ui_WifiPage.h"

WifiPage::WifiPage(QWidget* parent)
    : QWidget(parent)
    , ui_(std::make_unique<Ui::WifiPage>())
{
    ui_->setupUi(this);
}

WifiPage::~WifiPage() = default;
