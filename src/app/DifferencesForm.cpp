#include "app/DifferencesForm.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace plendoro {

namespace {
const QString kAbsent = QStringLiteral("—");
} // namespace

TDifferencesForm::TDifferencesForm(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("DifferencesForm"));
    setWindowTitle(QStringLiteral("Различия"));
    setAccessibleName(windowTitle());
    auto* layout = new QVBoxLayout(this);
    none_ = new QLabel(QStringLiteral("Различий нет"), this);
    none_->setObjectName(QStringLiteral("lblNoDifferences"));
    layout->addWidget(none_);
    table_ = new QTableWidget(0, 4, this);
    table_->setObjectName(QStringLiteral("tblDifferences"));
    table_->setAccessibleName(windowTitle());
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->setWordWrap(false);
    layout->addWidget(table_, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    write_ = new QPushButton(QStringLiteral("Записать"), this);
    write_->setObjectName(QStringLiteral("btnConfirmWrite"));
    cancel_ = new QPushButton(QStringLiteral("Отмена"), this);
    cancel_->setObjectName(QStringLiteral("btnConfirmCancel"));
    close_ = new QPushButton(QStringLiteral("Закрыть"), this);
    close_->setObjectName(QStringLiteral("btnDifferencesClose"));
    for (QPushButton* b : {write_, cancel_, close_}) {
        b->setAccessibleName(b->text());
        buttons->addWidget(b);
    }
    layout->addLayout(buttons);
    connect(write_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
    connect(close_, &QPushButton::clicked, this, &QDialog::close);
    connect(table_, &QTableWidget::cellDoubleClicked, this, [this](int row, int) {
        if (confirm_)
            return; // before a write, the editor stays as it is
        if (QTableWidgetItem* item = table_->item(row, 0))
            emit FieldChosen(item->data(Qt::UserRole).toString());
    });
    resize(900, 480);
}

void TDifferencesForm::SetDifferences(const std::vector<Difference>& differences, const QString& otherColumn,
                                      bool confirm)
{
    confirm_ = confirm;
    setModal(confirm);
    write_->setVisible(confirm);
    cancel_->setVisible(confirm);
    close_->setVisible(!confirm);
    (confirm ? write_ : close_)->setDefault(true);
    table_->setHorizontalHeaderLabels(
        {QStringLiteral("Страница"), QStringLiteral("Параметр"), QStringLiteral("В редакторе"), otherColumn});
    table_->setRowCount(0);
    for (const Difference& d : differences) {
        QString caption = d.field.caption;
        QString editor = d.b;
        QString other = d.a;
        // A list entry: the side that lacks it shows a dash.
        if (d.kind == Difference::Kind::Added) {
            caption += QStringLiteral(" (добавлен)");
            other = kAbsent;
        } else if (d.kind == Difference::Kind::Removed) {
            caption += QStringLiteral(" (удалён)");
            editor = kAbsent;
        }
        const int row = table_->rowCount();
        table_->insertRow(row);
        const QString cells[] = {d.field.page, caption, editor, other};
        for (int column = 0; column < 4; ++column) {
            auto* item =
                new QTableWidgetItem(QString(cells[column]).replace(QStringLiteral("\r\n"), QStringLiteral(" ")));
            item->setData(Qt::UserRole, d.field.name);
            table_->setItem(row, column, item);
        }
    }
    table_->resizeColumnsToContents();
    none_->setVisible(differences.empty());
    table_->setVisible(!differences.empty());
}

} // namespace plendoro
