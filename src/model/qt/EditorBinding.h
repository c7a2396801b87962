#pragma once
// Moves each settings block's values between the editor's fields and the
// plain records the block conversions work on. Writing back sets the
// members in their declared order, which is the order the decoders set
// them in; the rules a decoder asks for afterwards run through RunRulesAfter*.
#include "model/EditorValues.h"

namespace plendoro {

class TEditor;

MainConfValues ReadMainConfValues(TEditor& editor);
void WriteMainConfValues(TEditor& editor, const MainConfValues& v);

NetConfValues ReadNetConfValues(TEditor& editor);
void WriteNetConfValues(TEditor& editor, const NetConfValues& v);

InputsConfValues ReadInputsConfValues(TEditor& editor);
void WriteInputsConfValues(TEditor& editor, const InputsConfValues& v);

Rs485ConfValues ReadRs485ConfValues(TEditor& editor);
void WriteRs485ConfValues(TEditor& editor, const Rs485ConfValues& v);

CanConfValues ReadCanConfValues(TEditor& editor);
void WriteCanConfValues(TEditor& editor, const CanConfValues& v);

OneWireConfValues ReadOneWireConfValues(TEditor& editor);
void WriteOneWireConfValues(TEditor& editor, const OneWireConfValues& v);

// The page rules each decoder leaves to its caller.
void RunRulesAfterMainConf(TEditor& editor); // only after a device read
void RunRulesAfterNetConf(TEditor& editor);
void RunRulesAfterInputsConf(TEditor& editor);
void RunRulesAfterRs485Conf(TEditor& editor);
void RunRulesAfterCanConf(TEditor& editor);
void RunRulesAfterOneWireConf(TEditor& editor);

} // namespace plendoro
