#pragma once
// Moves each settings block's values between the editor's fields and the
// plain records the block conversions work on, through one table per block
// that names each field with its access kind and its member. Reading takes
// every field in table order; writing back sets them in that same order,
// which is the order the decoders set them in. The rules a decoder asks for
// afterwards run through RunRulesAfter*.
#include "model/Blocks.h"
#include "model/FormValues.h"

#include <QStringList>

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

// Every field a block's table names, families spelled out (cbIn1Send …
// cbIn8Send); a field read in two ways is named twice.
QStringList BoundFieldNames(BlockId block);

// The page rules each decoder leaves to its caller.
void RunRulesAfterMainConf(SettingsEditor& editor); // only after a device read
void RunRulesAfterNetConf(SettingsEditor& editor);
void RunRulesAfterInputsConf(SettingsEditor& editor);
void RunRulesAfterRs485Conf(SettingsEditor& editor);
void RunRulesAfterCanConf(SettingsEditor& editor);
void RunRulesAfterOneWireConf(SettingsEditor& editor);

} // namespace plendoro
