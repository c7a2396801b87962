#pragma once
// The editor's pages as the command line builds them: hidden, with the
// window's rules, and dialogs that become lines on standard error.
#include "editor/Dialogs.h"
#include "editor/HiddenEditor.h"
#include "files/core/Profile.h"
#include "link/Identification.h"

#include <QString>

#include <functional>
#include <memory>

namespace plendoro {
class SettingsEditor;
}

namespace plendoro::cli {

// Messages go to the sink; questions are answered "Нет"; a file to save is
// the one the command named, nothing is ever chosen otherwise.
class CliDialogs final : public DialogService {
public:
    void SetSink(std::function<void(const QString&)> sink) { sink_ = std::move(sink); }
    void AnswerSave(const QString& path) { savePath_ = path; }

    void Message(QWidget*, const QString&, const QString& text, Icon) override;
    bool Ask(QWidget*, const QString&, const QString& text, Icon, Answer) override;
    QString ChooseFolder(QWidget*, const QString&, const QString&) override { return {}; }
    QString OpenFile(QWidget*, const QString&, const QString&, const QString&, const QString&) override { return {}; }
    QString SaveFile(QWidget*, const QString&, const QString&, const QString&, const QString&, bool) override
    {
        return savePath_;
    }

private:
    std::function<void(const QString&)> sink_;
    QString savePath_;
};

using CliEditor = HiddenEditor;

} // namespace plendoro::cli
