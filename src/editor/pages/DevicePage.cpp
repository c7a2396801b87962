#include "DevicePage.h"

#include "ui_DevicePage.h"

DevicePage::DevicePage(QWidget* parent)
    : QWidget(parent)
    , ui_(std::make_unique<Ui::DevicePage>())
{
    ui_->setupUi(this);
}

DevicePage::~DevicePage() = default;
