#pragma once
// The one gate between the editor and anything that stores the
// configuration: writing the settings blocks and saving a profile both run
// it and go on only when it passes.
namespace plendoro {

class SettingsEditor;

// Runs the checks of the editor's fields in their fixed order and stops at
// the first failure, which is shown in the error balloon at its field. When
// every check passes, the shown control point is stored into its record and
// the result of that step is returned.
//
// Before any check, each of edItempWritePeriod14, edItempWritePeriod58,
// edLLSWritePeriod14 and edLLSWritePeriod58 that is disabled is set to "0";
// a failing check later in the run does not undo it.
//
// A field the pages do not hold skips its check.
bool ValidateSettings(SettingsEditor& editor);

} // namespace plendoro
