#pragma once
// Settings values that tests share: plausible, not the defaults, one of each
// kind of field.
#include "model/FormValues.h"

namespace plendoro::test {

// Both analog inputs and all eight digital inputs, each input mode at least once.
inline InputsConfValues SampleInputsValues()
{
    InputsConfValues i;
    i.analog = {AnalogInputValues{true, 700, true, 1, "500", "8"}, {false, 300, true, 0, "800", "32"}};
    i.input = {DigitalInputValues{1, true, false, "5", kModeBase},
               {0, true, true, "1", kModeBase},
               {0, false, false, "1", kModeCount},
               {0, false, false, "1", kModeMotion},
               {0, true, false, "12", kModeBase},
               {1, false, false, "1", kModeBase},
               {0, false, false, "1", kModeFreq},
               {0, false, false, "1", kModePCount}};
    i.edCnt12SendPeriod = "100";
    i.edCnt34SendPeriod = "200";
    i.edCnt56SendPeriod = "300";
    i.edCnt78SendPeriod = "400";
    i.edAInWritePeriod = "600";
    return i;
}

// A network block with every field away from its default.
inline NetConfValues SampleNetValues()
{
    return {.edSendPeriod = "90",
            .edPassword = "pw123456",
            .rbDHCPIp = false,
            .rbManualIp = true,
            .edIpAddress = "10.1.2.3",
            .edIpMask = "255.255.255.128",
            .edDefGate = "10.1.2.1",
            .cbAuth = 1,
            .rgWiFiType = 1,
            .edServer = "10.9.8.7",
            .edServerPort = "4321",
            .transfNMEA = true,
            .edIpUDPServer = "10.0.0.9",
            .edPortUDPServer = "5555",
            .cbEncrypt = 1,
            .edWEPKey = "ABCDE",
            .edSSID = "Garage",
            .cbSendMethod = 2,
            .edSendTime = {TimeOfDay{7, 5}, {12, 30}, {23, 59}},
            .edOnTime = {"5", "6", "7"},
            .cbwChanel = 6};
}

// Listed keys, two ticked sensor slots of eight, one pulse output.
inline OneWireConfValues SampleOneWireValues()
{
    return OneWireConfValues{.cbIbReadAny = false,
                             .lbIbAddrList = {"0000000000000A01", "0000000000000B01"},
                             .edIbAddr = "",
                             .cbItempReadAll = false,
                             .cbItempAddr = {true, false, false, false, false, false, false, true},
                             .edItempAddr = {"10000000000000A8", "", "", "", "", "", "", "20000000000000B8"},
                             .cbIbPulseOut1 = true,
                             .cbIbPulseOut2 = false,
                             .edItempWritePeriod14 = "60",
                             .edItempWritePeriod58 = "120",
                             .edItempWritePeriod14Enabled = true,
                             .edItempWritePeriod58Enabled = true};
}

} // namespace plendoro::test
