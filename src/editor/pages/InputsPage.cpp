#include "editor/pages/InputsPage.h"

#include "ui_InputsPage.h"

#include <QGridLayout>
#include <QGroupBox>

namespace plendoro {

namespace {

// Both inner pages build their grids alike, so a shared widget takes over the
// cell it had on the page it leaves and the two pages look the same.
void moveToSameCell(QWidget* w, QGridLayout* from, QGridLayout* to)
{
    const int index = from->indexOf(w);
    if (index < 0)
        return;
    int row = 0, column = 0, rowSpan = 1, columnSpan = 1;
    from->getItemPosition(index, &row, &column, &rowSpan, &columnSpan);
    const Qt::Alignment alignment = from->itemAt(index)->alignment();
    const bool hidden = w->isHidden();
    from->removeWidget(w);
    to->addWidget(w, row, column, rowSpan, columnSpan, alignment);
    // Reparenting hides the widget; a widget nobody hid is shown again now
    // rather than on the layout's next pass through the event loop.
    if (!hidden)
        w->show();
}

// The caption columns have no title while the input groups beside them do;
// the caption rows start lower by the difference, so that every caption sits
// level with its row of fields. Both use the same row heights on the form.
void alignWithInputGroup(QGroupBox* captions, const QGroupBox* inputGroup)
{
    const int inputTop = inputGroup->contentsMargins().top() + inputGroup->layout()->contentsMargins().top();
    QMargins margins = captions->layout()->contentsMargins();
    margins.setTop(inputTop - captions->contentsMargins().top());
    captions->layout()->setContentsMargins(margins);
}

} // namespace

InputsPage::InputsPage(QWidget* parent) : QWidget(parent), ui_(std::make_unique<Ui::InputsPage>())
{
    ui_->setupUi(this);
    alignWithInputGroup(ui_->gbInCaptions14, ui_->gbIn1);
    alignWithInputGroup(ui_->gbInCaptions58, ui_->gbIn5);
}

InputsPage::~InputsPage() = default;

void InputsPage::moveSharedCaptionsTo(int index)
{
    QGridLayout* captionGrids[] = {ui_->layInCaptions14, ui_->layInCaptions58};
    QGridLayout* counterGrids[] = {ui_->layCounters14, ui_->layCounters58};
    if (index < 0 || index > 1)
        return;
    const int from = 1 - index;
    QWidget* const shared[] = {ui_->lblBaseIn, ui_->lblCntIn,    ui_->lblPCntIn,
                               ui_->lblFreqIn, ui_->lblSendWiFi, ui_->lblSendMoment};
    for (QWidget* w : shared)
        moveToSameCell(w, captionGrids[from], captionGrids[index]);
    moveToSameCell(ui_->btnInAsDefault, counterGrids[from], counterGrids[index]);
}

} // namespace plendoro
