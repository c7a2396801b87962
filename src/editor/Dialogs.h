#pragma once
// Every modal question, message and file or folder choice goes through this
// service, so that tests answer them without a person.
#include <QString>

class QWidget;

namespace plendoro {

class DialogService {
public:
    enum class Icon { None, Information, Warning, Error, Question };
    // The button Enter presses.
    enum class Answer { Yes, No };

    virtual ~DialogService() = default;
    virtual void Message(QWidget* parent, const QString& caption, const QString& text, Icon icon) = 0;
    // "Да" / "Нет": true for "Да". Esc answers "Нет".
    virtual bool Ask(QWidget* parent, const QString& caption, const QString& text, Icon icon = Icon::Question,
                     Answer byDefault = Answer::Yes) = 0;
    // An empty result means the user cancelled.
    virtual QString ChooseFolder(QWidget* parent, const QString& title, const QString& start) = 0;
    // defaultSuffix: added to a typed name that has no extension of its own.
    virtual QString OpenFile(QWidget* parent, const QString& title, const QString& folder, const QString& filter,
                             const QString& defaultSuffix = QString()) = 0;
    // askOverwrite: whether choosing an existing file asks before replacing it.
    virtual QString SaveFile(QWidget* parent, const QString& title, const QString& folder, const QString& filter,
                             const QString& defaultSuffix, bool askOverwrite = true) = 0;
};

// The real dialogs of the desktop.
class QtDialogService final : public DialogService {
public:
    void Message(QWidget* parent, const QString& caption, const QString& text, Icon icon) override;
    bool Ask(QWidget* parent, const QString& caption, const QString& text, Icon icon = Icon::Question,
             Answer byDefault = Answer::Yes) override;
    QString ChooseFolder(QWidget* parent, const QString& title, const QString& start) override;
    QString OpenFile(QWidget* parent, const QString& title, const QString& folder, const QString& filter,
                     const QString& defaultSuffix = QString()) override;
    QString SaveFile(QWidget* parent, const QString& title, const QString& folder, const QString& filter,
                     const QString& defaultSuffix, bool askOverwrite = true) override;

    static QtDialogService& Instance();
};

inline const QString kAppCaption = QStringLiteral("Kovaltrak Plendoro");

} // namespace plendoro
