#pragma once
// Rules of the page "1-Wire": which iButton and temperature fields are open,
// the key list edited by hand, the page's defaults button, and the page-side
// half of the line search (putting found addresses into the fields in their
// text form). The search exchange itself lives with the device services;
// they reach the page only through the methods below.
#include "editor/Editor.h"
#include "model/OneWireAddress.h"

#include <QObject>
#include <QPointer>

#include <functional>
#include <vector>

class QAbstractButton;
class QListWidget;
class QLineEdit;

namespace plendoro {

constexpr int kSensorSlots = 8;

class OneWireRules : public QObject, public OneWireRulesApi {
    Q_OBJECT
public:
    explicit OneWireRules(SettingsEditor& editor);

    // Run by RefreshRules, by the block decoder and by the window.
    void IbReadAnyRule() override { cbIbReadAnyClick(); }
    void SensorSlotRule(int slot) override;
    void ReadAllRule() override { cbItempReadAllClick(); }
    void OneWireDefaults() override { btn1wireAsDefaultClick(); }
    void ReadButtonsRule() override;

    // Whether a tracker is attached (the link is connected). The window
    // supplies it; until then no device is present, so the read buttons
    // stay closed.
    bool DevicePresent() const { return editor_.DevicePresent(); }
    // Reading one key from the line into edIbAddr ("Считать" of the key
    // group); "Добавить" runs it first when the key field is empty and a
    // device is present.
    void SetKeyReader(std::function<void()> read) override { keyReader_ = std::move(read); }

    // The handlers, callable by the window and the other pages as well.
    void cbIbReadAnyClick(); // also the pulse boxes' click
    // The slot number is the last digit of the sender's name.
    void cbItempAddr1Click(QObject* sender);
    void cbItempReadAllClick();
    void btnIbAddClick();
    void btnIbDelClick();
    void btn1wireAsDefaultClick();

    // Found addresses, in their text form. A key goes into edIbAddr only;
    // it is not added to the list.
    void PutKeyAddress(const OneWireAddress& address) override;
    // Into slot N's address field unless any of the eight fields (slot N's
    // own included) already shows it; then "Такой датчик уже подключен" and
    // false. The slot's tick is left as it is.
    bool PutSensorAddress(int slot, const OneWireAddress& address) override;
    // Empties the eight address fields and unticks the slots, each running
    // its slot rule.
    void ClearSensorSlots() override;
    // The i-th address into slot i, ticked; addresses past the eighth are
    // dropped.
    void FillSensorSlots(const std::vector<OneWireAddress>& addresses) override;

private:
    bool AnySlotTicked(int first, int last) const;

    SettingsEditor& editor_;
    // Null once the editor itself is being torn down with its children.
    RuleSlot<OneWireRulesApi> slot_;
    std::function<void()> keyReader_;

    QAbstractButton* cbIbReadAny_ = nullptr;
    QListWidget* lbIbAddrList_ = nullptr;
    QLineEdit* edIbAddr_ = nullptr;
    QAbstractButton* btnIbGetAddr_ = nullptr;
    QAbstractButton* btnIbAdd_ = nullptr;
    QAbstractButton* btnIbDel_ = nullptr;
    QAbstractButton* cbIbPulseOut1_ = nullptr;
    QAbstractButton* cbIbPulseOut2_ = nullptr;
    QAbstractButton* cbItempReadAll_ = nullptr;
    QAbstractButton* cbItempAddr_[kSensorSlots] = {};
    QLineEdit* edItempAddr_[kSensorSlots] = {};
    QAbstractButton* btnItempAddr_[kSensorSlots] = {};
    QLineEdit* edItempWritePeriod14_ = nullptr;
    QLineEdit* edItempWritePeriod58_ = nullptr;
};

} // namespace plendoro
