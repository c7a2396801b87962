#pragma once
// Rules of the page "Аналоговые входы": an analog input used as digital
// input 5 or 6, the adaptive recording fields, the switching threshold with
// its slider and voltage caption, the shared adaptive settings of old
// firmware, and the page's defaults button.
#include "editor/Editor.h"

#include <QObject>
#include <QPointer>
#include <QString>

namespace plendoro {

class AnalogRules : public QObject, public AnalogRulesApi {
    Q_OBJECT
public:
    explicit AnalogRules(SettingsEditor& editor);

    // Analog input numbers are 1 and 2.
    void AsDigitalRule(int k) override;    // cbAInKAsDigitalClick
    void AdaptiveRule(int k) override;     // cbAInKAdaptiveClick
    void ThresholdDisplay(int k) override; // edAInKDigLevelChange
    void AnalogDefaults() override;        // btnAInAsDefaultClick

    // The slider moved: the spin field follows within its own range.
    void BarChange(int k); // AInKBarChange
    // Below firmware 200 both inputs share one method and one threshold.
    void MethodCoupling(int k);    // cbAInKAdMethodChange
    void ThresholdCoupling(int k); // edAInKAdLevelChange

    // The digital input an analog input doubles as: 5 for 1, 6 for 2.
    static int DigitalInputOf(int input) { return input + 4; }
    // The threshold reading as volts, "%.1f Вольт".
    static QString VoltageText(int input, int reading);

private:
    // One handler per family for both inputs; the input is the digit in the
    // sender's name.
    void cbAIn1AsDigitalClick();
    void cbAIn1AdaptiveClick();
    void edAIn1DigLevelChange();
    void AIn1BarChange();
    void cbAIn1AdMethodChange();
    void edAIn1AdLevelChange();
    void btnAInAsDefaultClick();

    SettingsEditor& editor_;
    // Null once the editor itself is being torn down with its children.
    RuleSlot<AnalogRulesApi> slot_;
};

} // namespace plendoro
