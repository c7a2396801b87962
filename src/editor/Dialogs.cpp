#include "editor/Dialogs.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

namespace plendoro {

namespace {
QMessageBox::Icon ToQt(DialogService::Icon icon)
{
    switch (icon) {
    case DialogService::Icon::None: return QMessageBox::NoIcon;
    case DialogService::Icon::Information: return QMessageBox::Information;
    case DialogService::Icon::Warning: return QMessageBox::Warning;
    case DialogService::Icon::Error: return QMessageBox::Critical;
    case DialogService::Icon::Question: return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}
} // namespace

void QtDialogService::Message(QWidget* parent, const QString& caption, const QString& text, Icon icon)
{
    QMessageBox box(ToQt(icon), caption, text, QMessageBox::Ok, parent);
    box.exec();
}

bool QtDialogService::Ask(QWidget* parent, const QString& caption, const QString& text, Icon icon, Answer byDefault)
{
    QMessageBox box(ToQt(icon), caption, text, QMessageBox::NoButton, parent);
    QPushButton* yes = box.addButton(QStringLiteral("Да"), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QStringLiteral("Нет"), QMessageBox::NoRole);
    box.setDefaultButton(byDefault == Answer::Yes ? yes : no);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes;
}

QString QtDialogService::ChooseFolder(QWidget* parent, const QString& title, const QString& start)
{
    // The desktop's own folder dialog offers a button for a new folder.
    return QFileDialog::getExistingDirectory(parent, title, start, QFileDialog::ShowDirsOnly);
}

QString QtDialogService::OpenFile(QWidget* parent, const QString& title, const QString& folder, const QString& filter,
                                  const QString& defaultSuffix)
{
    QFileDialog dialog(parent, title, folder, filter);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(defaultSuffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().first();
}

QString QtDialogService::SaveFile(QWidget* parent, const QString& title, const QString& folder, const QString& filter,
                                  const QString& defaultSuffix, bool askOverwrite)
{
    QFileDialog dialog(parent, title, folder, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(defaultSuffix);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !askOverwrite);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().first();
}

QtDialogService& QtDialogService::Instance()
{
    static QtDialogService service;
    return service;
}

} // namespace plendoro
