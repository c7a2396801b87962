#pragma once
// The user manual inside the program: a contents list, a search over every
// chapter and the chapter itself, rendered by QTextBrowser from Markdown.
#include "app/Manual.h"

#include <QWidget>

class QLineEdit;
class QListWidget;
class QTabWidget;
class QTextBrowser;
class QUrl;

namespace plendoro {

class THelpForm : public QWidget {
    Q_OBJECT
public:
    explicit THelpForm(Manual manual, QWidget* parent = nullptr);

    const Manual& Contents() const { return manual_; }
    void ShowChapter(int chapter);
    // The first chapter that describes one of the tabs, in their order;
    // the first chapter when none does.
    void ShowChapterOfTabs(const QStringList& tabs);
    int ShownChapter() const { return shown_; }
    void Search(const QString& query);

    // The tabs being shown, innermost first: the current tab of each set of
    // pages on the way down from `pages`.
    static QStringList ShownTabs(const QTabWidget* pages);

private:
    void FindNext();
    void SourceChanged(const QUrl& source);

    Manual manual_;
    int shown_ = -1;
    QLineEdit* search_ = nullptr;
    QListWidget* contents_ = nullptr;
    QListWidget* found_ = nullptr;
    QTextBrowser* text_ = nullptr;
};

} // namespace plendoro
