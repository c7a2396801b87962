#include "editor/pages/ExtensionsPage.h"

#include "ui_ExtensionsPage.h"

#include "editor/pages/CanPage.h"
#include "editor/pages/OneWirePage.h"
#include "editor/pages/Rs485Page.h"

namespace plendoro {

ExtensionsPage::ExtensionsPage(QWidget* parent) : QWidget(parent), ui_(std::make_unique<Ui::ExtensionsPage>())
{
    ui_->setupUi(this);

    // The order of the inner pages is the order of the tabs the user sees;
    // each sub-page names its own tab through its window title.
    rs485_ = new Rs485Page;
    oneWire_ = new OneWirePage;
    can_ = new CanPage;
    ui_->PageControl2->addTab(rs485_, rs485_->windowTitle());
    ui_->PageControl2->addTab(oneWire_, oneWire_->windowTitle());
    ui_->PageControl2->addTab(can_, can_->windowTitle());
}

ExtensionsPage::~ExtensionsPage() = default;

} // namespace plendoro
