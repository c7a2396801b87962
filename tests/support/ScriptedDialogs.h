#pragma once
// Answers the program's dialogs from a script and records what was shown.
#include "editor/Dialogs.h"

#include <QFileInfo>
#include <QStringList>
#include <deque>

class ScriptedDialogs final : public plendoro::DialogService {
public:
    struct Shown {
        QString kind, caption, text;
        Icon icon = Icon::None;
        Answer byDefault = Answer::Yes; // questions only
    };

    void Message(QWidget*, const QString& caption, const QString& text, Icon icon) override
    {
        shown.push_back({QStringLiteral("message"), caption, text, icon});
    }
    bool Ask(QWidget*, const QString& caption, const QString& text, Icon icon = Icon::Question,
             Answer byDefault = Answer::Yes) override
    {
        shown.push_back({QStringLiteral("ask"), caption, text, icon, byDefault});
        if (answers.empty())
            return false;
        const bool a = answers.front();
        answers.pop_front();
        return a;
    }
    QString ChooseFolder(QWidget*, const QString& title, const QString& start) override
    {
        shown.push_back({QStringLiteral("folder"), title, start, Icon::None});
        return Next();
    }
    // A scripted name without an extension gets the default one, as the
    // desktop's dialog gives it to a typed name.
    QString OpenFile(QWidget*, const QString& title, const QString& folder, const QString&,
                     const QString& defaultSuffix = QString()) override
    {
        shown.push_back({QStringLiteral("open"), title, folder, Icon::None});
        QString p = Next();
        if (!p.isEmpty() && !defaultSuffix.isEmpty() && !QFileInfo(p).fileName().contains(QLatin1Char('.')))
            p += QLatin1Char('.') + defaultSuffix;
        return p;
    }
    QString SaveFile(QWidget*, const QString& title, const QString& folder, const QString&, const QString&,
                     bool askOverwrite = true) override
    {
        shown.push_back(
            {askOverwrite ? QStringLiteral("save") : QStringLiteral("save-no-ask"), title, folder, Icon::None});
        return Next();
    }

    std::deque<bool> answers;
    std::deque<QString> paths;
    std::vector<Shown> shown;

private:
    QString Next()
    {
        if (paths.empty())
            return {};
        QString p = paths.front();
        paths.pop_front();
        return p;
    }
};
