#pragma once
// Fields that a firmware version does not know are disabled: each field
// carries its minimum version on the form ("minVersion").
class QWidget;

namespace plendoro {

class SettingsEditor;

// Disables every field and caption carrying a minimum version, then enables
// those the firmware version allows; the NMEA forwarding fields then follow
// their box.
void ApplyVersionGate(SettingsEditor& editor, int firmwareVersion);
// The minimum version a field carries, or -1.
int MinimumVersionOf(const QWidget* w);

} // namespace plendoro
