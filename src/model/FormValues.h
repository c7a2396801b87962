#pragma once
// What the editor's fields hold, as plain data, one struct per settings
// block. Members carry the names of the fields they stand for; a family of
// like fields is an array whose index 0 stands for the field numbered 1
// (edOnTime[0] is edOnTime1, input[2].cbInSend is cbIn3Send).
//
// Kinds: a list's selected position is an int, -1 for no selection; a radio
// group's checked button is an int, -1 for none; a check box's tick and a
// radio button's check are bools; a text field's text is UTF-8; a spin
// field's value is an int; a time picker's time is a TimeOfDay.
//
// Members are declared in the order the decoder sets them, which is the
// order the Qt layer writes them back in. Initial values are those the
// window starts with. The decoders leave alone every member they do not
// set, so the Qt layer reads the widgets into a struct, decodes into it and
// writes it back.
#include "model/Structs.h"

#include <array>
#include <string>
#include <vector>

namespace plendoro {

// Page "Настройки прибора", plus the three accelerometer values the editor
// holds without showing them.
struct MainConfValues {
    int cbWriteMethod = 0;
    std::string edWritePeriod;
    bool cbWideRecord = false;
    bool cbStaticNav = false;
    int intGlonass = 0;
    int dX = 0;
    int dY = 0;
    int dZ = 0;
};

struct TimeOfDay {
    int hour = 0;
    int minute = 0;
    bool operator==(const TimeOfDay&) const = default;
};

// Pages "Передача данных" and "Настройки WiFI".
struct NetConfValues {
    std::string edSendPeriod;
    std::string edPassword;
    bool rbDHCPIp = true;
    bool rbManualIp = false;
    std::string edIpAddress = "192.168.0.2";
    std::string edIpMask = "255.255.255.0";
    std::string edDefGate = "192.168.0.1";
    int cbAuth = 0;
    int rgWiFiType = 0;
    std::string edServer;
    std::string edServerPort;
    bool transfNMEA = false;
    std::string edIpUDPServer;
    std::string edPortUDPServer;
    int cbEncrypt = 0;
    std::string edWEPKey;
    std::string edSSID;
    // How many entries cbSendMethod currently holds: three or four, as the
    // list was last rebuilt on identification. A stored method the list
    // does not hold leaves it with no selection.
    int cbSendMethodItems = 4;
    int cbSendMethod = 0;
    std::array<TimeOfDay, kTransferTimeCount> edSendTime{};
    std::array<std::string, kTransferTimeCount> edOnTime{"1", "1", "1"};
    int cbwChanel = 0;
};

// Positions of an input's five mode buttons (rbInNBase … rbInNMotion).
constexpr int kModeBase = 0;
constexpr int kModeCount = 1;
constexpr int kModePCount = 2;
constexpr int kModeFreq = 3;
constexpr int kModeMotion = 4;

// Analog input K: cbAInKAsDigital, edAInKDigLevel, cbAInKAdaptive,
// cbAInKAdMethod, edAInKAdLevel, edAInKAverPeriod.
struct AnalogInputValues {
    bool cbAInAsDigital = false;
    int edAInDigLevel = 732;
    bool cbAInAdaptive = false;
    int cbAInAdMethod = 0;
    std::string edAInAdLevel = "1023";
    std::string edAInAverPeriod = "16";
};

// Digital input N on the inputs page: cbInNLevel, cbInNSend, cbInNCont,
// edInNDuration, and which of its mode buttons is checked (-1: none).
struct DigitalInputValues {
    int cbInLevel = 0;
    bool cbInSend = false;
    bool cbInCont = false;
    std::string edInDuration = "1";
    int rbInMode = kModeBase;
};

// Pages "Аналоговые входы" and "Цифровые входы".
struct InputsConfValues {
    std::array<AnalogInputValues, kAnalogInputCount> analog{AnalogInputValues{},
                                                            AnalogInputValues{false, 257, false, 0, "1023", "16"}};
    std::array<DigitalInputValues, kDigitalInputCount> input{};
    std::string edCnt12SendPeriod = "3600";
    std::string edCnt34SendPeriod = "0";
    std::string edCnt56SendPeriod = "0";
    std::string edCnt78SendPeriod = "0";
    std::string edAInWritePeriod = "3600";
};

// Page "RS485".
struct Rs485ConfValues {
    std::array<bool, kFuelSensorCount> cbLLSAddr{};
    std::array<std::string, kFuelSensorCount> edLLSAddr{};
    std::string edLLSWritePeriod14;
    std::string edLLSWritePeriod58;
    int cbRS485Speed = 2;
    bool cbRS485EnableGlonass = false;
    int GlonassMode = 0;
    // The radio group's own enabled flag, which the decoder sets.
    bool GlonassModeEnabled = false;
};

// Page "CAN": the period edit. The parameters themselves are the window's
// FoundCanParameters, passed beside this struct.
struct CanConfValues {
    std::string edCANPeriodSave = "0";
};

// Page "1-Wire". The period edits' enabled flags are here because the page
// defaults, which the decoder applies, disable them.
struct OneWireConfValues {
    bool cbIbReadAny = true;
    std::vector<std::string> lbIbAddrList;
    std::string edIbAddr;
    bool cbItempReadAll = false;
    std::array<bool, kOneWireSensorCount> cbItempAddr{};
    std::array<std::string, kOneWireSensorCount> edItempAddr{};
    bool cbIbPulseOut1 = false;
    bool cbIbPulseOut2 = false;
    std::string edItempWritePeriod14 = "0";
    std::string edItempWritePeriod58 = "0";
    bool edItempWritePeriod14Enabled = false;
    bool edItempWritePeriod58Enabled = false;
};

} // namespace plendoro
