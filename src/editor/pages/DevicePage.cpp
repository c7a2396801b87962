#include "editor/pages/DevicePage.h"

#include "ui_DevicePage.h"

namespace plendoro {

DevicePage::DevicePage(QWidget* parent) : QWidget(parent), ui_(std::make_unique<Ui::DevicePage>())
{
    ui_->setupUi(this);
}

DevicePage::~DevicePage() = default;

} // namespace plendoro
