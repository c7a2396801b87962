#pragma once
// The configuration editor: the main page set with its fields, the firmware
// version the fields follow, and the rule sets of the pages. Each rule set
// is a child object of the editor that takes its slot here when constructed,
// so the window can run every rule in its fixed order.
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include "model/OneWireAddress.h"
#include "model/Structs.h"

#include <functional>
#include <vector>

class QTabWidget;
class QWidget;

namespace plendoro {

class DialogService;

constexpr int kInputCount = 8;

// What the window and the other pages ask of each page's rules. Input and
// sensor numbers count from 1.

// Device, transfer and network pages.
class RecordingRulesApi {
public:
    virtual ~RecordingRulesApi() = default;
    virtual void RecordingMethodRule() = 0; // cbWriteMethodChange
    virtual void SendMethodRule() = 0;      // cbSendMethodChange
    virtual void EncryptionRule() = 0;      // cbEncryptChange
    virtual void AddressModeRule() = 0;     // the DHCP / static address choice
};

// Digital inputs and their event transfer.
class InputsRulesApi {
public:
    virtual ~InputsRulesApi() = default;
    virtual void ShowFirstInputsPage() = 0; // "Входы 1-4" with the shared captions
    // The shared captions onto whichever inputs page is shown, leaving the
    // user on that page.
    virtual void CaptionsToShownInputsPage() = 0;
    virtual void InputModeRule(int input) = 0;
    virtual void DurationMirror(int input) = 0;
    // The level mirror as the inputs page's cbInNLevel runs it.
    virtual void LevelMirror(int input) = 0;
    virtual void DataSendingRule(int input) = 0;
    virtual void ContinuousRule(int input) = 0;
    virtual void InputsDefaults() = 0; // presses the inputs defaults button
};

class AnalogRulesApi {
public:
    virtual ~AnalogRulesApi() = default;
    virtual void AsDigitalRule(int input) = 0;
    virtual void AdaptiveRule(int input) = 0;
    virtual void ThresholdDisplay(int input) = 0;
    virtual void AnalogDefaults() = 0;
};

class Rs485RulesApi {
public:
    virtual ~Rs485RulesApi() = default;
    virtual void FuelSensorRule(int sensor) = 0;
    virtual void Rs485Defaults() = 0;
};

class ControlPointRulesApi {
public:
    virtual ~ControlPointRulesApi() = default;
    virtual void TransferRule(int point) = 0; // cbSendEvCP1..3
    // The store step that ends the checks before writing; false refuses.
    virtual bool StoreRule() = 0;
};

class OneWireRulesApi {
public:
    virtual ~OneWireRulesApi() = default;
    virtual void IbReadAnyRule() = 0;          // cbIbReadAnyClick
    virtual void SensorSlotRule(int slot) = 0; // cbItempAddr1Click ..
    virtual void ReadAllRule() = 0;            // cbItempReadAllClick
    virtual void OneWireDefaults() = 0;        // btn1wireAsDefaultClick
    // The key's and the slots' "Считать" as the boxes and the device's
    // presence open them now; nothing else changes.
    virtual void ReadButtonsRule() {}
    // What the line searches bring; a rule set without the page ignores them.
    virtual void PutKeyAddress(const OneWireAddress&) {}
    virtual bool PutSensorAddress(int /*slot*/, const OneWireAddress&) { return false; }
    virtual void ClearSensorSlots() {}
    virtual void FillSensorSlots(const std::vector<OneWireAddress>&) {}
    // Reading one key from the line, run by "Добавить" with an empty field.
    virtual void SetKeyReader(std::function<void()>) {}
};

class CanListsApi {
public:
    virtual ~CanListsApi() = default;
    virtual void DisableCanListButtons() = 0;
    // The identifiers found on the bus with their recording choices.
    virtual std::vector<TCANId_V3>& FoundCanParameters() = 0;
    // Empties the found identifiers and the page's lists.
    virtual void ClearCanParameters() = 0;
    virtual void RebuildCanLists() = 0;
    // The lists that show the chosen parameters: what the block carries of
    // FoundCanParameters, as the user sees it.
    virtual QStringList ChosenListNames() const { return {}; }
};

// The three accelerometer values of the main block. The editor keeps what
// the tracker or a profile gave and hands it back unchanged; no field shows
// them.
struct AccelerometerValues {
    int x = 0;
    int y = 0;
    int z = 0;
    bool operator==(const AccelerometerValues&) const = default;
};

class SettingsEditor : public QObject {
    Q_OBJECT
public:
    SettingsEditor(QTabWidget* PageControl1, DialogService& dialogs, QObject* parent = nullptr);

    QTabWidget* Pages() const { return pages_; }
    DialogService& Dialogs() const { return dialogs_; }

    // Firmware and hardware version of the attached tracker; 403 and 4
    // while none is attached.
    int FirmwareVersion() const { return firmwareVersion_; }
    void SetFirmwareVersion(int v) { firmwareVersion_ = v; }
    int HardwareVersion() const { return hardwareVersion_; }
    void SetHardwareVersion(int v) { hardwareVersion_ = v; }

    AccelerometerValues Accelerometer() const { return accelerometer_; }
    void SetAccelerometer(AccelerometerValues a) { accelerometer_ = a; }

    // Whether a tracker is attached; the 1-Wire read buttons follow it.
    void SetDevicePresence(std::function<bool()> present) { devicePresent_ = std::move(present); }
    bool DevicePresent() const { return devicePresent_ && devicePresent_(); }

    // A field by its component name (FindFieldByName over the main page set);
    // null when there is none. Every lookup of a field by name goes through
    // here. The program skips a missing field; tests install a miss handler
    // that fails them instead.
    QWidget* Field(const QString& name) const;
    using FieldMissHandler = std::function<void(const QString& name)>;
    void SetFieldMissHandler(FieldMissHandler onMiss) { onMiss_ = std::move(onMiss); }
    template <typename T>
    T* FieldAs(const QString& name) const
    {
        return qobject_cast<T*>(Field(name));
    }
    // A family member: prefix + input digit + suffix, e.g. ("cbIn", 3, "Send").
    QWidget* Field(const char* prefix, int digit, const char* suffix = "") const;
    template <typename T>
    T* FieldAs(const char* prefix, int digit, const char* suffix = "") const
    {
        return qobject_cast<T*>(Field(prefix, digit, suffix));
    }

    // Re-runs the rules of every page in their fixed order.
    void RefreshRules();

    // Rule sets, each set by its RuleSlot; absent ones are skipped.
    RecordingRulesApi* recording = nullptr;
    InputsRulesApi* inputs = nullptr;
    AnalogRulesApi* analog = nullptr;
    Rs485RulesApi* rs485 = nullptr;
    ControlPointRulesApi* controlPoints = nullptr;
    OneWireRulesApi* oneWire = nullptr;
    CanListsApi* can = nullptr;

private:
    QTabWidget* pages_;
    DialogService& dialogs_;
    int firmwareVersion_ = 403;
    int hardwareVersion_ = 4;
    AccelerometerValues accelerometer_;
    std::function<bool()> devicePresent_;
    FieldMissHandler onMiss_;
};

// A rule set's place in the editor: taken when the rule set is constructed,
// given back when it is destroyed (if it still holds it).
template <class Api>
class RuleSlot {
public:
    RuleSlot(SettingsEditor& editor, Api* SettingsEditor::*slot, Api* self) : editor_(&editor), slot_(slot), self_(self)
    {
        editor.*slot_ = self;
    }
    ~RuleSlot()
    {
        if (editor_ && (*editor_).*slot_ == self_)
            (*editor_).*slot_ = nullptr;
    }
    RuleSlot(const RuleSlot&) = delete;
    RuleSlot& operator=(const RuleSlot&) = delete;

private:
    QPointer<SettingsEditor> editor_;
    Api* SettingsEditor::*slot_;
    Api* self_;
};

// The input digit of a family handler's sender: the character at a fixed
// position of its component name ("cbIn3Send" at 4 gives 3); 0 when the
// name is too short or that character is not a digit.
int DigitAt(const QObject* sender, int position);
// The 1-Wire sensor slot a component stands for, from the last digit of its
// name: the digit sits at 11 in "cbItempAddr3" and at 12 in "btnItempAddr3",
// one helper reads both. 0 when the name does not end in a slot digit.
int SlotOf(const QObject* sender);

} // namespace plendoro
