#include "services/OneWireSearchForm.h"

#include "link/UsbLink.h"
#include "services/DeviceWorker.h"
#include "services/core/OneWireSearch.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <memory>

namespace plendoro {

TOWSearchForm::TOWSearchForm(UsbLink& link, DeviceWorker& worker, QWidget* parent)
    : QDialog(parent),
      link_(link),
      worker_(worker)
{
    setObjectName(QStringLiteral("OWSearchForm"));
    setWindowTitle(QStringLiteral("Поиск датчика 1-Wire"));
    setAccessibleName(windowTitle());
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    lblStatus = new QLabel(this);
    lblStatus->setObjectName(QStringLiteral("lblStatus"));
    lblStatus->setAccessibleName(QStringLiteral("Ход поиска"));
    lblStatus->setAlignment(Qt::AlignCenter);
    lblStatus->setWordWrap(true);
    QFont big = lblStatus->font();
    big.setPointSizeF(big.pointSizeF() * 1.5);
    lblStatus->setFont(big);
    lblStatus->setMinimumHeight(lblStatus->fontMetrics().height() * 3);
    btnSearchCancel = new QPushButton(QStringLiteral("Отменить поиск"), this);
    btnSearchCancel->setObjectName(QStringLiteral("btnSearchCancel"));
    btnSearchCancel->setAccessibleName(btnSearchCancel->text());
    layout->addWidget(lblStatus, 1);
    layout->addWidget(btnSearchCancel, 0, Qt::AlignHCenter);
    setMinimumWidth(460);

    restart_.setSingleShot(true);
    connect(&restart_, &QTimer::timeout, this, &TOWSearchForm::StartSearch);
    connect(btnSearchCancel, &QPushButton::clicked, this, &TOWSearchForm::btnSearchCancelClick);
}

QString TOWSearchForm::StatusText() const
{
    return lblStatus->text();
}

void TOWSearchForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    FormShow();
}

void TOWSearchForm::FormShow()
{
    Cancelled = false;
    if (SearchFamily == kIButtonFamily) {
        connectMessage_ = QStringLiteral("Подключите датчик iButton.");
        moreThanOneMessage_ = QStringLiteral("Найдено более 1 датчика iButton. Отключите лишние датчики.");
    } else {
        connectMessage_ = QStringLiteral("Подключите датчик температуры.");
        moreThanOneMessage_ = QStringLiteral("Найдено более 1 датчика температуры. Отключите лишние датчики.");
    }
    lblStatus->setText(connectMessage_);
    StartSearch();
    UpdateBusy();
}

void TOWSearchForm::StartSearch()
{
    if (running_ || !isVisible())
        return;
    auto result = std::make_shared<OneWireSearchResult>(OneWireSearchResult::OpenFailed);
    auto found = std::make_shared<std::vector<OneWireAddress>>();
    UsbLink* link = &link_;
    const int family = SearchFamily;
    const bool started = worker_.Run(
        [link, family, result, found] {
            if (!link->Open())
                return;
            *result = SearchOneWire(*link, family, *found);
            link->Close();
        },
        [this, result, found] { SearchDone(static_cast<int>(*result), *found); });
    if (!started) { // the worker finishes something else first
        restart_.start(kRestartMs);
        return;
    }
    running_ = true;
    UpdateBusy();
}

// A failed exchange counts as no device found: the search goes on quietly.
void TOWSearchForm::SearchDone(int result, const std::vector<OneWireAddress>& found)
{
    running_ = false;
    if (isVisible()) {
        const std::size_t count = result == 0 ? found.size() : 0;
        if (count == 1) {
            FoundAddress = found.front();
            SearchFamily = -1;
            accept();
        } else {
            lblStatus->setText(count == 0 ? connectMessage_ : moreThanOneMessage_);
            restart_.start(kRestartMs);
        }
    }
    UpdateBusy();
}

void TOWSearchForm::btnSearchCancelClick()
{
    reject();
}

// Every way out but a found device is a cancel: the running exchange ends
// on its own and nothing starts after it.
void TOWSearchForm::reject()
{
    Cancelled = true;
    SearchFamily = -1;
    restart_.stop();
    QDialog::reject();
    UpdateBusy();
}

void TOWSearchForm::UpdateBusy()
{
    const bool busy = running_ || isVisible();
    if (busy == busy_)
        return;
    busy_ = busy;
    emit BusyChanged(busy);
}

} // namespace plendoro
