#pragma once
// The user manual: one Markdown file per chapter in one folder, read in
// name order. A chapter names the window's tabs it describes in a comment
// "<!-- tabs: NAME ... -->", which Qt's Markdown leaves out of the page.
#include "app/core/InstallLayout.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace plendoro {

// Where an installed program's manual lies.
inline const QString kInstalledManualFolder = QStringLiteral("/usr/share/plendoro/manual/");

struct ManualChapter {
    QString file;  // the file's name in the folder
    QString title; // the first heading, else the file's name
    QStringList tabs;
    QString plainText; // the text as shown, for the search
};

struct ManualHit {
    int chapter = -1;
    int count = 0; // how often the words stand in it
};

// A link or picture of a chapter that points into the manual itself.
struct ManualReference {
    QString target; // as written, fragment included
    bool picture = false;
};

class Manual {
public:
    // Reads every "*.md" of the folder; false when it holds none.
    bool Load(const QString& folder);
    const QString& Folder() const { return folder_; }
    const QList<ManualChapter>& Chapters() const { return chapters_; }
    // The chapter that describes the tab, -1 when none does.
    int ChapterOfTab(const QString& tab) const;
    // Chapters that hold the query (case and extra spaces ignored), in
    // chapter order; an empty query finds nothing.
    QList<ManualHit> Search(const QString& query) const;

private:
    QString folder_;
    QList<ManualChapter> chapters_;
};

// The folders to look in, first found wins, each ending in "/": the
// program's own "manual/", and for the installed layout the shared one.
QStringList ManualFolders(const QString& programFolder, Layout layout);

// Links and pictures of a chapter that stay inside the manual: relative
// targets, not "scheme:" addresses.
QList<ManualReference> LocalReferences(const QString& markdown);

} // namespace plendoro
