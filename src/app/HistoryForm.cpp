#include "app/HistoryForm.h"

#include <QDate>
#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace plendoro {

THistoryForm::THistoryForm(const std::vector<SavedProfile>& profiles, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("HistoryForm"));
    setWindowTitle(QStringLiteral("История прибора"));
    setAccessibleName(windowTitle());
    auto* layout = new QVBoxLayout(this);
    auto* caption = new QLabel(QStringLiteral("Сохранённые настройки прибора:"), this);
    layout->addWidget(caption);
    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("lbHistory"));
    list_->setAccessibleName(caption->text());
    caption->setBuddy(list_);
    for (const SavedProfile& p : profiles) {
        const LocalDateTime& t = p.time;
        auto* item = new QListWidgetItem(QStringLiteral("%1.%2.%3 %4:%5:%6")
                                             .arg(t.day, 2, 10, QLatin1Char('0'))
                                             .arg(t.month, 2, 10, QLatin1Char('0'))
                                             .arg(t.year)
                                             .arg(t.hour, 2, 10, QLatin1Char('0'))
                                             .arg(t.minute, 2, 10, QLatin1Char('0'))
                                             .arg(t.second, 2, 10, QLatin1Char('0')),
                                         list_);
        item->setData(Qt::UserRole, QFile::decodeName(p.path.c_str()));
    }
    layout->addWidget(list_, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    auto* compare = new QPushButton(QStringLiteral("Сравнить"), this);
    compare->setObjectName(QStringLiteral("btnHistoryCompare"));
    auto* load = new QPushButton(QStringLiteral("Загрузить"), this);
    load->setObjectName(QStringLiteral("btnHistoryLoad"));
    auto* close = new QPushButton(QStringLiteral("Закрыть"), this);
    close->setObjectName(QStringLiteral("btnHistoryClose"));
    for (QPushButton* b : {compare, load, close}) {
        b->setAccessibleName(b->text());
        b->setEnabled(b == close || !profiles.empty());
        buttons->addWidget(b);
    }
    layout->addLayout(buttons);
    if (!profiles.empty())
        list_->setCurrentRow(0);
    connect(list_, &QListWidget::itemActivated, this, [this] { emit Chosen(CurrentPath()); });
    connect(compare, &QPushButton::clicked, this, [this] {
        if (!CurrentPath().isEmpty())
            emit Chosen(CurrentPath());
    });
    connect(load, &QPushButton::clicked, this, [this] {
        if (!CurrentPath().isEmpty())
            emit LoadRequested(CurrentPath());
    });
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    resize(360, 400);
}

QString THistoryForm::CurrentPath() const
{
    const QListWidgetItem* item = list_->currentItem();
    return item ? item->data(Qt::UserRole).toString() : QString();
}

} // namespace plendoro
