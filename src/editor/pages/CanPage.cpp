#include "editor/pages/CanPage.h"

#include "ui_CanPage.h"

#include <QToolButton>

namespace plendoro {

CanPage::CanPage(QWidget* parent) : QWidget(parent), ui_(std::make_unique<Ui::CanPage>())
{
    // Page name, caption, initial values and field metadata all come from
    // the form.
    ui_->setupUi(this);
    // The tool buttons show only a picture: their tool tips name them.
    for (QToolButton* button : findChildren<QToolButton*>())
        if (button->text().isEmpty())
            button->setAccessibleName(button->toolTip());
}

CanPage::~CanPage() = default;

} // namespace plendoro
