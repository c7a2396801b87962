#include "app/HelpWindow.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSplitter>
#include <QTabWidget>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace plendoro {

THelpForm::THelpForm(Manual manual, QWidget* parent) : QWidget(parent, Qt::Window), manual_(std::move(manual))
{
    setObjectName(QStringLiteral("HelpForm"));
    setWindowTitle(QStringLiteral("Руководство пользователя"));
    auto* split = new QSplitter(this);
    auto* side = new QWidget(split);
    auto* sideLayout = new QVBoxLayout(side);
    sideLayout->setContentsMargins(0, 0, 0, 0);
    search_ = new QLineEdit(side);
    search_->setObjectName(QStringLiteral("edManualSearch"));
    search_->setPlaceholderText(QStringLiteral("Поиск по руководству"));
    search_->setClearButtonEnabled(true);
    contents_ = new QListWidget(side);
    contents_->setObjectName(QStringLiteral("lbManualContents"));
    for (const ManualChapter& c : manual_.Chapters())
        contents_->addItem(c.title);
    found_ = new QListWidget(side);
    found_->setObjectName(QStringLiteral("lbManualFound"));
    found_->hide();
    sideLayout->addWidget(search_);
    sideLayout->addWidget(new QLabel(QStringLiteral("Содержание"), side));
    sideLayout->addWidget(contents_, 2);
    sideLayout->addWidget(found_, 1);
    text_ = new QTextBrowser(split);
    text_->setObjectName(QStringLiteral("ManualText"));
    text_->setOpenExternalLinks(true);
    text_->setSearchPaths({manual_.Folder()});
    split->addWidget(side);
    split->addWidget(text_);
    split->setStretchFactor(1, 1);
    split->setSizes({240, 660});
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(split);

    connect(contents_, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0 && row != shown_)
            ShowChapter(row);
    });
    connect(search_, &QLineEdit::textChanged, this, &THelpForm::Search);
    // Enter goes on to the next place the words stand.
    connect(search_, &QLineEdit::returnPressed, this, &THelpForm::FindNext);
    connect(found_, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
        ShowChapter(item->data(Qt::UserRole).toInt());
        FindNext();
    });
    connect(found_, &QListWidget::itemClicked, found_, &QListWidget::itemActivated);
    // A link to another chapter moves the contents' mark along.
    connect(text_, &QTextBrowser::sourceChanged, this, &THelpForm::SourceChanged);
    resize(900, 640);
}

void THelpForm::ShowChapter(int chapter)
{
    if (chapter < 0 || chapter >= manual_.Chapters().size())
        return;
    shown_ = chapter;
    const QString path = QDir(manual_.Folder()).filePath(manual_.Chapters()[chapter].file);
    text_->setSource(QUrl::fromLocalFile(path), QTextDocument::MarkdownResource);
    QSignalBlocker quiet(contents_);
    contents_->setCurrentRow(chapter);
}

void THelpForm::ShowChapterOfTabs(const QStringList& tabs)
{
    for (const QString& tab : tabs) {
        const int chapter = manual_.ChapterOfTab(tab);
        if (chapter >= 0) {
            ShowChapter(chapter);
            return;
        }
    }
    ShowChapter(0);
}

void THelpForm::Search(const QString& query)
{
    found_->clear();
    const QList<ManualHit> hits = manual_.Search(query);
    for (const ManualHit& hit : hits) {
        auto* item = new QListWidgetItem(
            QStringLiteral("%1 (%2)").arg(manual_.Chapters()[hit.chapter].title).arg(hit.count), found_);
        item->setData(Qt::UserRole, hit.chapter);
    }
    if (!query.simplified().isEmpty() && hits.isEmpty())
        found_->addItem(QStringLiteral("Ничего не найдено"));
    found_->setVisible(!query.simplified().isEmpty());
}

void THelpForm::FindNext()
{
    const QString words = search_->text().simplified();
    if (words.isEmpty() || text_->find(words))
        return;
    // Past the chapter's last place: the next chapter that holds the words,
    // round to the first one (this one again, from its top).
    const QList<ManualHit> hits = manual_.Search(words);
    if (hits.isEmpty())
        return;
    int next = hits.first().chapter;
    for (const ManualHit& hit : hits) {
        if (hit.chapter > shown_) {
            next = hit.chapter;
            break;
        }
    }
    ShowChapter(next);
    text_->moveCursor(QTextCursor::Start);
    text_->find(words);
}

void THelpForm::SourceChanged(const QUrl& source)
{
    // The signal's own address: source() may still name the page before.
    const QString file = source.fileName();
    for (int i = 0; i < manual_.Chapters().size(); ++i) {
        if (manual_.Chapters()[i].file == file) {
            shown_ = i;
            QSignalBlocker quiet(contents_);
            contents_->setCurrentRow(i);
        }
    }
}

QStringList THelpForm::ShownTabs(const QTabWidget* pages)
{
    QStringList tabs;
    for (const QTabWidget* set = pages; set && set->currentWidget();) {
        QWidget* page = set->currentWidget();
        tabs.prepend(page->objectName());
        const QTabWidget* inner = nullptr;
        // Only a set right below this page, not one of a page further down.
        for (QTabWidget* candidate : page->findChildren<QTabWidget*>()) {
            QWidget* up = candidate->parentWidget();
            while (up && !qobject_cast<QTabWidget*>(up))
                up = up->parentWidget();
            if (up == set) {
                inner = candidate;
                break;
            }
        }
        set = inner;
    }
    return tabs;
}

} // namespace plendoro
