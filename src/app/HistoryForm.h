#pragma once
// "История прибора": the automatic profiles of the attached tracker, newest
// first; choosing one shows its differences with the editor, "Загрузить"
// loads it as "Загрузить профиль настроек" does.
#include "files/core/Profile.h"

#include <QDialog>

#include <vector>

class QListWidget;

namespace plendoro {

class THistoryForm final : public QDialog {
    Q_OBJECT
public:
    THistoryForm(const std::vector<SavedProfile>& profiles, QWidget* parent = nullptr);
    QListWidget* List() const { return list_; }

signals:
    void Chosen(const QString& path);
    void LoadRequested(const QString& path);

private:
    QString CurrentPath() const;
    QListWidget* list_ = nullptr;
};

} // namespace plendoro
