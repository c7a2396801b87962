#include "editor/pages/OneWirePage.h"

#include "ui_OneWirePage.h"

#include <QLineEdit>

namespace plendoro {

OneWirePage::OneWirePage(QWidget* parent) : QWidget(parent), ui_(std::make_unique<Ui::OneWirePage>())
{
    // Page name, caption, initial values and field metadata all come from
    // the form.
    ui_->setupUi(this);
    // Each address field is read out by its slot, as its box names it.
    for (int n = 1; n <= 8; ++n)
        if (auto* field = findChild<QLineEdit*>(QStringLiteral("edItempAddr%1").arg(n)))
            field->setAccessibleName(QStringLiteral("Датчик %1").arg(n));
}

OneWirePage::~OneWirePage() = default;

} // namespace plendoro
