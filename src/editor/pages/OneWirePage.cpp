#include "editor/pages/OneWirePage.h"

#include "ui_OneWirePage.h"

namespace plendoro {

OneWirePage::OneWirePage(QWidget* parent) : QWidget(parent), ui_(std::make_unique<Ui::OneWirePage>())
{
    // Page name, caption, initial values and field metadata all come from
    // the form.
    ui_->setupUi(this);
}

OneWirePage::~OneWirePage() = default;

} // namespace plendoro
