#include "app/Manual.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTextDocument>

namespace plendoro {

namespace {

QStringList TabsOf(const QString& markdown)
{
    static const QRegularExpression marker(QStringLiteral("<!--\\s*tabs:([^>]*)-->"));
    QStringList tabs;
    for (auto it = marker.globalMatch(markdown); it.hasNext();)
        tabs += it.next().captured(1).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    return tabs;
}

QString TitleOf(const QString& markdown, const QString& file)
{
    static const QRegularExpression heading(QStringLiteral("^#\\s+(.+?)\\s*$"), QRegularExpression::MultilineOption);
    const auto m = heading.match(markdown);
    return m.hasMatch() ? m.captured(1) : file;
}

} // namespace

bool Manual::Load(const QString& folder)
{
    folder_ = folder;
    chapters_.clear();
    const QDir dir(folder);
    for (const QString& name : dir.entryList({QStringLiteral("*.md")}, QDir::Files, QDir::Name)) {
        QFile f(dir.filePath(name));
        if (!f.open(QIODevice::ReadOnly))
            continue;
        const QString text = QString::fromUtf8(f.readAll());
        QTextDocument shown;
        shown.setMarkdown(text);
        chapters_.append({name, TitleOf(text, name), TabsOf(text), shown.toPlainText().simplified()});
    }
    return !chapters_.isEmpty();
}

int Manual::ChapterOfTab(const QString& tab) const
{
    for (int i = 0; i < chapters_.size(); ++i)
        if (chapters_[i].tabs.contains(tab))
            return i;
    return -1;
}

QList<ManualHit> Manual::Search(const QString& query) const
{
    QList<ManualHit> hits;
    const QString words = query.simplified();
    if (words.isEmpty())
        return hits;
    for (int i = 0; i < chapters_.size(); ++i) {
        const int n = static_cast<int>(chapters_[i].plainText.count(words, Qt::CaseInsensitive));
        if (n > 0)
            hits.append({i, n});
    }
    return hits;
}

QStringList ManualFolders(const QString& programFolder, Layout layout)
{
    QString own = programFolder;
    if (!own.endsWith(QLatin1Char('/')))
        own += QLatin1Char('/');
    QStringList folders{own + QStringLiteral("manual/")};
    // A build folder must not show whatever an installed package left.
    if (layout == Layout::Installed)
        folders.append(kInstalledManualFolder);
    return folders;
}

QList<ManualReference> LocalReferences(const QString& markdown)
{
    // Inline links and pictures; the manual uses no reference-style links.
    static const QRegularExpression link(QStringLiteral("(!?)\\[[^\\]]*\\]\\(\\s*<?([^)\\s>]+)>?[^)]*\\)"));
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]*:"));
    QList<ManualReference> refs;
    for (auto it = link.globalMatch(markdown); it.hasNext();) {
        const auto m = it.next();
        const QString target = m.captured(2);
        if (!scheme.match(target).hasMatch())
            refs.append({target, !m.captured(1).isEmpty()});
    }
    return refs;
}

} // namespace plendoro
