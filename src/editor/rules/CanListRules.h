#pragma once
// The CAN page's lists: every identifier found on the bus, and the three
// lists of those the tracker is to record (known parameters, fuel levels,
// user parameters with their six-byte windows). The lists are a view of
// FoundCanParameters and are rebuilt whole after every change.
#include "editor/Editor.h"

#include <QObject>
#include <QPointer>

#include <functional>
#include <vector>

class QAbstractButton;
class QListWidget;
class QPlainTextEdit;

namespace plendoro {

class CanListRules : public QObject, public CanListsApi {
    Q_OBJECT
public:
    explicit CanListRules(SettingsEditor& editor);

    // What the window, the block decoder and the search use.
    std::vector<TCANId_V3>& FoundCanParameters() override { return found_; }
    void ClearCanParameters() override;
    void RebuildCanLists() override;
    void DisableCanListButtons() override;
    QStringList ChosenListNames() const override;

    // The description of the entry on that line of the found list in the
    // detail field; an index without a line leaves the field empty.
    void ShowCanDetail(int index);

    // The page's handlers, also run by code as the rules require.
    void lbCANFoundedIdsClick();
    void lbCANUsedIdsClick();
    void lbCANUsedFuelClick();
    void lbCANUsedUserClick();
    void tbCANCommonAddClick();
    void tbCANCommonDelClick();
    void tbCANUserRightClick();
    void tbCANUserLeftClick();

private:
    // The list Add and Delete act on: the first of the three record lists
    // with a selected line.
    QListWidget* TargetList() const;
    void RunClick(QListWidget* list);
    void ShiftWindow(int step);
    // The found-list index of the entry a line shows, -1 for no line.
    int EntryAt(const QListWidget* list, int row) const;
    // Hooks a list's click rule to the user's mouse and keyboard.
    void ConnectClick(QListWidget* list, void (CanListRules::*rule)());

    SettingsEditor& editor_;
    RuleSlot<CanListsApi> slot_;
    std::vector<TCANId_V3> found_;

    QListWidget* lbCANFoundedIds_ = nullptr;
    QListWidget* lbCANUsedIds_ = nullptr;
    QListWidget* lbCANUsedFuel_ = nullptr;
    QListWidget* lbCANUsedUser_ = nullptr;
    QPlainTextEdit* memCANDetail_ = nullptr;
    QAbstractButton* tbCANCommonAdd_ = nullptr;
    QAbstractButton* tbCANCommonDel_ = nullptr;
    QAbstractButton* tbCANUserLeft_ = nullptr;
    QAbstractButton* tbCANUserRight_ = nullptr;
};

} // namespace plendoro
