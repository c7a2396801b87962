#pragma once
// Who the attached tracker is: serial number, MAC address, firmware and
// hardware versions, and what its firmware version allows.
#include "common/Clock.h"
#include "common/FirmwareTable.h"
#include "link/ByteLink.h"
#include "link/D2xx.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace plendoro {

class UsbLink;

constexpr int kVersionAttempts = 19;
// Bounds of a plausible version reply; anything else is refused like garbage.
constexpr int kMaxFirmwareMajor = 200;
constexpr int kMaxFirmwareMinor = 99;

struct DeviceIdentity {
    std::string serialText;
    std::int32_t serialNumber = 0;
    std::array<std::uint8_t, 6> mac{};
    int firmwareMajor = 0;
    int firmwareMinor = 0;
    int firmwareVersion = kNoDeviceFirmwareVersion;
    int hardwareVersion = kNoDeviceHardwareVersion;
    // Whether the last version read got an answer to "GET_HVERSION".
    bool hardwareVersionRead = false;
};

// The serial text's leading decimal number (blanks and a sign allowed in
// front); 0 when it has no digits.
std::int32_t SerialNumberFromText(std::string_view serial);
std::array<std::uint8_t, 6> MacFromSerial(std::int32_t serialNumber);
std::string FormatMac(const std::array<std::uint8_t, 6>& mac);
std::string FormatFirmware(int major, int minor);

// Sets the serial text, number and MAC address from an identified serial.
void ApplySerial(DeviceIdentity& identity, const std::string& serialText);

// A reply to "FL_READ_VERSION$": at least 9 bytes that read as
// "KVTW-<major>.<minor>".
bool ParseVersionReply(const std::uint8_t* reply, std::size_t length, int& major, int& minor);

// Reads the firmware version (and, from 309 on, the hardware version) over
// an open device. True when the firmware version was read.
bool QueryVersions(ByteLink& link, DeviceIdentity& identity);

// Opens the device, queries the versions and closes it again.
bool ReadVersions(UsbLink& link, DeviceIdentity& identity);
// What the status line says of a tracker that is listed but does not open
// (UTF-8); empty when the library could not tell why.
std::string OpenFailureText(const OpenFailure& failure);

} // namespace plendoro
