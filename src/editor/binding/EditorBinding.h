#pragma once
// Moves each settings block's values between the editor's fields and the
// plain records the block conversions work on. Writing back sets the
// members in their declared order, which is the order the decoders set
// them in; the rules a decoder asks for afterwards run through RunRulesAfter*.
#include "model/FormValues.h"

namespace plendoro {

class SettingsEditor;

MainConfValues ReadMainConfValues(SettingsEditor& editor);
void WriteMainConfValues(SettingsEditor& editor, const MainConfValues& v);

NetConfValues ReadNetConfValues(SettingsEditor& editor);
void WriteNetConfValues(SettingsEditor& editor, const NetConfValues& v);

InputsConfValues ReadInputsConfValues(SettingsEditor& editor);
void WriteInputsConfValues(SettingsEditor& editor, const InputsConfValues& v);

Rs485ConfValues ReadRs485ConfValues(SettingsEditor& editor);
void WriteRs485ConfValues(SettingsEditor& editor, const Rs485ConfValues& v);

CanConfValues ReadCanConfValues(SettingsEditor& editor);
void WriteCanConfValues(SettingsEditor& editor, const CanConfValues& v);

OneWireConfValues ReadOneWireConfValues(SettingsEditor& editor);
void WriteOneWireConfValues(SettingsEditor& editor, const OneWireConfValues& v);

// The page rules each decoder leaves to its caller.
void RunRulesAfterMainConf(SettingsEditor& editor); // only after a device read
void RunRulesAfterNetConf(SettingsEditor& editor);
void RunRulesAfterInputsConf(SettingsEditor& editor);
void RunRulesAfterRs485Conf(SettingsEditor& editor);
void RunRulesAfterCanConf(SettingsEditor& editor);
void RunRulesAfterOneWireConf(SettingsEditor& editor);

} // namespace plendoro
