#include "editor/rules/CanListRules.h"
#include "editor/rules/FieldSetters.h"

#include "editor/Dialogs.h"
#include "services/core/CanListModel.h"
#include "services/core/CanParameters.h"

#include <QAbstractButton>
#include <QApplication>
#include <QEvent>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <QTabWidget>

namespace plendoro {

namespace {

constexpr int kEntryRole = Qt::UserRole;

// A list's click rule runs for what the user does to it: a selection moved
// by mouse or keyboard, and a click on the line already selected. Selections
// made by code are made with the list's signals blocked and run nothing.
class ListClickRelay final : public QObject {
public:
    ListClickRelay(QListWidget* list, std::function<void()> rule, QObject* parent)
        : QObject(parent),
          rule_(std::move(rule))
    {
        list->viewport()->installEventFilter(this);
        connect(list, &QListWidget::itemSelectionChanged, this, [this] {
            ++changes_;
            rule_();
        });
        // The press already ran the rule when it moved the selection.
        connect(list, &QAbstractItemView::clicked, this, [this] {
            if (changes_ == changesAtPress_)
                rule_();
        });
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick)
            changesAtPress_ = changes_;
        return false;
    }

private:
    std::function<void()> rule_;
    unsigned long changes_ = 0;
    unsigned long changesAtPress_ = 0;
};

int SelectedRow(const QListWidget* list)
{
    if (!list)
        return -1;
    const QList<QListWidgetItem*> items = list->selectedItems();
    return items.isEmpty() ? -1 : list->row(items.first());
}

// A position the list does not hold leaves it with no selection.
void SelectRow(QListWidget* list, int row)
{
    if (!list)
        return;
    QSignalBlocker block(list);
    if (row >= 0 && row < list->count()) {
        list->setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
    } else {
        list->clearSelection();
        list->setCurrentRow(-1, QItemSelectionModel::Clear);
    }
}

void ClearList(QListWidget* list)
{
    if (!list)
        return;
    QSignalBlocker block(list);
    list->clear();
}

void FillList(QListWidget* list, const std::vector<CanListLine>& lines)
{
    if (!list)
        return;
    QSignalBlocker block(list);
    list->clear();
    for (const CanListLine& line : lines) {
        auto* item = new QListWidgetItem(QString::fromStdString(line.text));
        item->setData(kEntryRole, QVariant::fromValue<qulonglong>(line.entry));
        list->addItem(item);
    }
}

} // namespace

CanListRules::CanListRules(SettingsEditor& editor)
    : QObject(&editor),
      editor_(editor),
      slot_(editor, &SettingsEditor::can, this)
{
    setObjectName(QStringLiteral("CanListRules"));

    lbCANFoundedIds_ = editor.FieldAs<QListWidget>(QStringLiteral("lbCANFoundedIds"));
    lbCANUsedIds_ = editor.FieldAs<QListWidget>(QStringLiteral("lbCANUsedIds"));
    lbCANUsedFuel_ = editor.FieldAs<QListWidget>(QStringLiteral("lbCANUsedFuel"));
    lbCANUsedUser_ = editor.FieldAs<QListWidget>(QStringLiteral("lbCANUsedUser"));
    memCANDetail_ = editor.FieldAs<QPlainTextEdit>(QStringLiteral("memCANDetail"));
    tbCANCommonAdd_ = editor.FieldAs<QAbstractButton>(QStringLiteral("tbCANCommonAdd"));
    tbCANCommonDel_ = editor.FieldAs<QAbstractButton>(QStringLiteral("tbCANCommonDel"));
    tbCANUserLeft_ = editor.FieldAs<QAbstractButton>(QStringLiteral("tbCANUserLeft"));
    tbCANUserRight_ = editor.FieldAs<QAbstractButton>(QStringLiteral("tbCANUserRight"));

    ConnectClick(lbCANFoundedIds_, &CanListRules::lbCANFoundedIdsClick);
    ConnectClick(lbCANUsedIds_, &CanListRules::lbCANUsedIdsClick);
    ConnectClick(lbCANUsedFuel_, &CanListRules::lbCANUsedFuelClick);
    ConnectClick(lbCANUsedUser_, &CanListRules::lbCANUsedUserClick);
    const std::pair<QAbstractButton*, void (CanListRules::*)()> buttons[] = {
        {tbCANCommonAdd_, &CanListRules::tbCANCommonAddClick},
        {tbCANCommonDel_, &CanListRules::tbCANCommonDelClick},
        {tbCANUserLeft_, &CanListRules::tbCANUserLeftClick},
        {tbCANUserRight_, &CanListRules::tbCANUserRightClick},
    };
    for (auto [button, handler] : buttons)
        if (button)
            connect(button, &QAbstractButton::clicked, this, handler);

    // The form's placeholder lines are not entries, and with nothing
    // selected none of the tool buttons has anything to act on.
    ClearCanParameters();
    DisableCanListButtons();
}

void CanListRules::ConnectClick(QListWidget* list, void (CanListRules::*rule)())
{
    if (list)
        new ListClickRelay(
            list, [this, rule] { (this->*rule)(); }, this);
}

int CanListRules::EntryAt(const QListWidget* list, int row) const
{
    if (!list || row < 0 || row >= list->count())
        return -1;
    const qulonglong entry = list->item(row)->data(kEntryRole).toULongLong();
    return entry < found_.size() ? static_cast<int>(entry) : -1;
}

void CanListRules::ClearCanParameters()
{
    found_.clear();
    for (QListWidget* list : {lbCANFoundedIds_, lbCANUsedIds_, lbCANUsedFuel_, lbCANUsedUser_})
        ClearList(list);
    if (memCANDetail_)
        memCANDetail_->clear();
}

void CanListRules::RebuildCanLists()
{
    const CanListLines lines = BuildCanListLines(found_);
    FillList(lbCANFoundedIds_, lines.found);
    FillList(lbCANUsedIds_, lines.common);
    FillList(lbCANUsedFuel_, lines.fuel);
    FillList(lbCANUsedUser_, lines.user);
    Enable(tbCANCommonAdd_, false);
    Enable(tbCANCommonDel_, false);
    if (memCANDetail_)
        memCANDetail_->clear();
}

void CanListRules::DisableCanListButtons()
{
    for (QAbstractButton* b : {tbCANCommonAdd_, tbCANCommonDel_, tbCANUserLeft_, tbCANUserRight_})
        Enable(b, false);
}

QStringList CanListRules::ChosenListNames() const
{
    QStringList names;
    for (const QListWidget* list : {lbCANUsedIds_, lbCANUsedFuel_, lbCANUsedUser_})
        if (list)
            names << list->objectName();
    return names;
}

void CanListRules::ShowCanDetail(int index)
{
    if (!memCANDetail_)
        return;
    memCANDetail_->clear();
    const int entry = EntryAt(lbCANFoundedIds_, index);
    if (entry < 0)
        return;
    QStringList lines;
    for (const std::string& line : CanDetailLines(found_[static_cast<std::size_t>(entry)]))
        lines << QString::fromStdString(line);
    memCANDetail_->setPlainText(lines.join(QLatin1Char('\n')));
}

void CanListRules::lbCANFoundedIdsClick()
{
    QApplication::beep();
    const int row = SelectedRow(lbCANFoundedIds_);
    if (row < 0) {
        Enable(tbCANCommonAdd_, false);
        return;
    }
    ShowCanDetail(row);
    Enable(tbCANCommonAdd_, true);
}

void CanListRules::lbCANUsedIdsClick()
{
    if (SelectedRow(lbCANUsedIds_) < 0) {
        Enable(tbCANCommonDel_, false);
        return;
    }
    SelectRow(lbCANUsedFuel_, -1);
    SelectRow(lbCANUsedUser_, -1);
    Enable(tbCANCommonDel_, true);
}

void CanListRules::lbCANUsedFuelClick()
{
    if (SelectedRow(lbCANUsedFuel_) < 0) {
        Enable(tbCANCommonDel_, false);
        return;
    }
    SelectRow(lbCANUsedIds_, -1);
    SelectRow(lbCANUsedUser_, -1);
    Enable(tbCANCommonDel_, true);
}

void CanListRules::lbCANUsedUserClick()
{
    const bool selected = SelectedRow(lbCANUsedUser_) >= 0;
    if (selected) {
        SelectRow(lbCANUsedIds_, -1);
        SelectRow(lbCANUsedFuel_, -1);
    }
    for (QAbstractButton* b : {tbCANCommonDel_, tbCANUserRight_, tbCANUserLeft_})
        Enable(b, selected);
}

QListWidget* CanListRules::TargetList() const
{
    for (QListWidget* list : {lbCANUsedIds_, lbCANUsedFuel_, lbCANUsedUser_})
        if (SelectedRow(list) >= 0)
            return list;
    return nullptr;
}

void CanListRules::RunClick(QListWidget* list)
{
    if (list == lbCANUsedIds_)
        lbCANUsedIdsClick();
    else if (list == lbCANUsedFuel_)
        lbCANUsedFuelClick();
    else if (list == lbCANUsedUser_)
        lbCANUsedUserClick();
}

void CanListRules::tbCANCommonAddClick()
{
    QListWidget* target = TargetList();
    const int targetRow = SelectedRow(target);
    const int foundRow = SelectedRow(lbCANFoundedIds_);
    const int entry = EntryAt(lbCANFoundedIds_, foundRow);
    // Add is only offered with a found line selected; a press that comes
    // without one has nothing to add.
    if (entry < 0)
        return;

    const std::size_t fuelLines = lbCANUsedFuel_ ? static_cast<std::size_t>(lbCANUsedFuel_->count()) : 0;
    const std::size_t userLines = lbCANUsedUser_ ? static_cast<std::size_t>(lbCANUsedUser_->count()) : 0;
    switch (MarkCanParameterUsed(found_[static_cast<std::size_t>(entry)], fuelLines, userLines)) {
    case CanAddResult::FuelLimit:
        editor_.Dialogs().Message(editor_.Pages(), kAppCaption,
                                  QStringLiteral("Нельзя добавить более 6 топливных параметров"),
                                  DialogService::Icon::Error);
        return;
    case CanAddResult::UserLimit:
        editor_.Dialogs().Message(editor_.Pages(), kAppCaption,
                                  QStringLiteral("Нельзя добавить более 4 пользовательских параметров"),
                                  DialogService::Icon::Error);
        return;
    case CanAddResult::Added: break;
    }
    RebuildCanLists();

    SelectRow(lbCANFoundedIds_, foundRow);
    lbCANFoundedIdsClick();
    if (target) {
        SelectRow(target, targetRow);
        RunClick(target);
    }
}

void CanListRules::tbCANCommonDelClick()
{
    QListWidget* target = TargetList();
    if (!target)
        return;
    const int targetRow = SelectedRow(target);
    const int foundRow = SelectedRow(lbCANFoundedIds_);
    const int entry = EntryAt(target, targetRow);
    if (entry >= 0)
        UnmarkCanParameter(found_[static_cast<std::size_t>(entry)]);
    RebuildCanLists();

    if (targetRow > 0) {
        SelectRow(target, targetRow - 1);
        RunClick(target);
    }
    SelectRow(lbCANFoundedIds_, foundRow);
    lbCANFoundedIdsClick();
}

void CanListRules::ShiftWindow(int step)
{
    const int userRow = SelectedRow(lbCANUsedUser_);
    const int entry = EntryAt(lbCANUsedUser_, userRow);
    if (entry < 0)
        return;
    TCANId_V3& e = found_[static_cast<std::size_t>(entry)];
    if (step > 0 ? e.Window >= kMaxCanWindow : e.Window < 1)
        return;
    const int foundRow = SelectedRow(lbCANFoundedIds_);
    e.Window = static_cast<std::uint8_t>(e.Window + step);
    RebuildCanLists();
    // Re-selected without their click rules: Add and Delete stay as the
    // rebuild left them until the next click in a list.
    SelectRow(lbCANFoundedIds_, foundRow);
    SelectRow(lbCANUsedUser_, userRow);
}

void CanListRules::tbCANUserRightClick()
{
    ShiftWindow(+1);
}

void CanListRules::tbCANUserLeftClick()
{
    ShiftWindow(-1);
}

} // namespace plendoro
