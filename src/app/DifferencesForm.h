#pragma once
// "Различия": what differs between the user's editor and a tracker or a
// profile, one row per field in the pages' order. Shown modeless after a
// comparison (a double-click shows the field), or modal before a write
// with "Записать" and "Отмена".
#include "editor/FieldTable.h"

#include <QDialog>

#include <vector>

class QLabel;
class QPushButton;
class QTableWidget;

namespace plendoro {

class TDifferencesForm final : public QDialog {
    Q_OBJECT
public:
    explicit TDifferencesForm(QWidget* parent = nullptr);

    // The rows of a comparison of the other side (a) with the editor (b);
    // `otherColumn` is "В приборе" or "В профиле". `confirm` shows the
    // write's two buttons instead of "Закрыть".
    void SetDifferences(const std::vector<Difference>& differences, const QString& otherColumn, bool confirm);

    QTableWidget* Table() const { return table_; }
    QLabel* NoneLabel() const { return none_; }
    QPushButton* WriteButton() const { return write_; }
    QPushButton* CancelButton() const { return cancel_; }

signals:
    // A double-click on a row of the modeless dialog: the field's name.
    void FieldChosen(const QString& name);

private:
    QTableWidget* table_ = nullptr;
    QLabel* none_ = nullptr;
    QPushButton* write_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QPushButton* close_ = nullptr;
    bool confirm_ = false;
};

} // namespace plendoro
