#include "editor/pages/WifiPage.h"

#include "ui_WifiPage.h"

namespace plendoro {

WifiPage::WifiPage(QWidget* parent) : QWidget(parent), ui_(std::make_unique<Ui::WifiPage>())
{
    ui_->setupUi(this);
}

WifiPage::~WifiPage() = default;

} // namespace plendoro
