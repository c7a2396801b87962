#include "editor/binding/EditorBinding.h"

#include "editor/Editor.h"
#include "editor/binding/FieldAccess.h"

#include <QVariant>

namespace plendoro {

namespace {
const char* const kModeSuffix[] = {"Base", "Count", "PCount", "Freq", "Motion"};

QString N(const char* prefix, int n, const char* suffix = "")
{
    return FieldAccess::Name(prefix, n, suffix);
}
} // namespace

// Block 0 ------------------------------------------------------------------

MainConfValues ReadMainConfValues(SettingsEditor& editor)
{
    FieldAccess f(editor);
    MainConfValues v;
    v.cbWriteMethod = f.Index("cbWriteMethod");
    v.edWritePeriod = f.Text("edWritePeriod");
    v.cbWideRecord = f.Checked("cbWideRecord");
    v.cbStaticNav = f.Checked("cbStaticNav");
    v.intGlonass = f.Radio("intGlonass");
    v.dX = editor.property("dX").toInt();
    v.dY = editor.property("dY").toInt();
    v.dZ = editor.property("dZ").toInt();
    return v;
}

void WriteMainConfValues(SettingsEditor& editor, const MainConfValues& v)
{
    FieldAccess f(editor);
    f.SetIndex("cbWriteMethod", v.cbWriteMethod);
    f.SetText("edWritePeriod", v.edWritePeriod);
    f.SetChecked("cbWideRecord", v.cbWideRecord);
    f.SetChecked("cbStaticNav", v.cbStaticNav);
    f.SetRadio("intGlonass", v.intGlonass);
    // The accelerometer values are held by the editor, never shown.
    editor.setProperty("dX", v.dX);
    editor.setProperty("dY", v.dY);
    editor.setProperty("dZ", v.dZ);
}

void RunRulesAfterMainConf(SettingsEditor& editor)
{
    if (editor.recording)
        editor.recording->RecordingMethodRule();
}

// Block 1 ------------------------------------------------------------------

NetConfValues ReadNetConfValues(SettingsEditor& editor)
{
    FieldAccess f(editor);
    NetConfValues v;
    v.edSendPeriod = f.Text("edSendPeriod");
    v.edPassword = f.Text("edPassword");
    v.rbDHCPIp = f.Checked("rbDHCPIp");
    v.rbManualIp = f.Checked("rbManualIp");
    v.edIpAddress = f.Text("edIpAddress");
    v.edIpMask = f.Text("edIpMask");
    v.edDefGate = f.Text("edDefGate");
    v.cbAuth = f.Index("cbAuth");
    v.rgWiFiType = f.Radio("rgWiFiType");
    v.edServer = f.Text("edServer");
    v.edServerPort = f.Text("edServerPort");
    v.transfNMEA = f.Checked("transfNMEA");
    v.edIpUDPServer = f.Text("edIpUDPServer");
    v.edPortUDPServer = f.Text("edPortUDPServer");
    v.cbEncrypt = f.Index("cbEncrypt");
    v.edWEPKey = f.Text("edWEPKey");
    v.edSSID = f.Text("edSSID");
    v.cbSendMethodItems = f.Count("cbSendMethod");
    v.cbSendMethod = f.Index("cbSendMethod");
    for (int i = 0; i < static_cast<int>(kTransferTimeCount); ++i) {
        v.edSendTime[i] = f.Time(N("edSendTime", i + 1));
        v.edOnTime[i] = f.Text(N("edOnTime", i + 1));
    }
    v.cbwChanel = f.Index("cbwChanel");
    return v;
}

void WriteNetConfValues(SettingsEditor& editor, const NetConfValues& v)
{
    FieldAccess f(editor);
    f.SetText("edSendPeriod", v.edSendPeriod);
    f.SetText("edPassword", v.edPassword);
    f.SetChecked(v.rbDHCPIp ? "rbDHCPIp" : "rbManualIp", true);
    f.SetText("edIpAddress", v.edIpAddress);
    f.SetText("edIpMask", v.edIpMask);
    f.SetText("edDefGate", v.edDefGate);
    f.SetIndex("cbAuth", v.cbAuth);
    f.SetRadio("rgWiFiType", v.rgWiFiType);
    f.SetText("edServer", v.edServer);
    f.SetText("edServerPort", v.edServerPort);
    f.SetChecked("transfNMEA", v.transfNMEA);
    f.SetText("edIpUDPServer", v.edIpUDPServer);
    f.SetText("edPortUDPServer", v.edPortUDPServer);
    f.SetIndex("cbEncrypt", v.cbEncrypt);
    f.SetText("edWEPKey", v.edWEPKey);
    f.SetText("edSSID", v.edSSID);
    f.SetIndex("cbSendMethod", v.cbSendMethod);
    for (int i = 0; i < static_cast<int>(kTransferTimeCount); ++i) {
        f.SetTime(N("edSendTime", i + 1), v.edSendTime[i]);
        f.SetText(N("edOnTime", i + 1), v.edOnTime[i]);
    }
    f.SetIndex("cbwChanel", v.cbwChanel);
}

void RunRulesAfterNetConf(SettingsEditor& editor)
{
    if (!editor.recording)
        return;
    editor.recording->SendMethodRule();
    editor.recording->EncryptionRule();
    editor.recording->AddressModeRule();
}

// Block 2 ------------------------------------------------------------------

InputsConfValues ReadInputsConfValues(SettingsEditor& editor)
{
    FieldAccess f(editor);
    InputsConfValues v;
    for (int k = 1; k <= static_cast<int>(kAnalogInputCount); ++k) {
        AnalogInputValues& a = v.analog[k - 1];
        a.cbAInAsDigital = f.Checked(N("cbAIn", k, "AsDigital"));
        a.edAInDigLevel = f.Spin(N("edAIn", k, "DigLevel"));
        a.cbAInAdaptive = f.Checked(N("cbAIn", k, "Adaptive"));
        a.cbAInAdMethod = f.Index(N("cbAIn", k, "AdMethod"));
        a.edAInAdLevel = f.Text(N("edAIn", k, "AdLevel"));
        a.edAInAverPeriod = f.Text(N("edAIn", k, "AverPeriod"));
    }
    for (int n = 1; n <= static_cast<int>(kDigitalInputCount); ++n) {
        DigitalInputValues& d = v.input[n - 1];
        d.cbInLevel = f.Index(N("cbIn", n, "Level"));
        d.cbInSend = f.Checked(N("cbIn", n, "Send"));
        d.cbInCont = f.Checked(N("cbIn", n, "Cont"));
        d.edInDuration = f.Text(N("edIn", n, "Duration"));
        d.rbInMode = -1;
        for (int m = 0; m < 5; ++m)
            if (f.Checked(N("rbIn", n, kModeSuffix[m])))
                d.rbInMode = m;
    }
    v.edCnt12SendPeriod = f.Text("edCnt12SendPeriod");
    v.edCnt34SendPeriod = f.Text("edCnt34SendPeriod");
    v.edCnt56SendPeriod = f.Text("edCnt56SendPeriod");
    v.edCnt78SendPeriod = f.Text("edCnt78SendPeriod");
    v.edAInWritePeriod = f.Text("edAInWritePeriod");
    return v;
}

void WriteInputsConfValues(SettingsEditor& editor, const InputsConfValues& v)
{
    FieldAccess f(editor);
    for (int k = 1; k <= static_cast<int>(kAnalogInputCount); ++k) {
        const AnalogInputValues& a = v.analog[k - 1];
        f.SetChecked(N("cbAIn", k, "AsDigital"), a.cbAInAsDigital);
        f.SetSpin(N("edAIn", k, "DigLevel"), a.edAInDigLevel);
        f.SetChecked(N("cbAIn", k, "Adaptive"), a.cbAInAdaptive);
        f.SetIndex(N("cbAIn", k, "AdMethod"), a.cbAInAdMethod);
        f.SetText(N("edAIn", k, "AdLevel"), a.edAInAdLevel);
        f.SetText(N("edAIn", k, "AverPeriod"), a.edAInAverPeriod);
    }
    for (int n = 1; n <= static_cast<int>(kDigitalInputCount); ++n) {
        const DigitalInputValues& d = v.input[n - 1];
        f.SetIndex(N("cbIn", n, "Level"), d.cbInLevel);
        f.SetChecked(N("cbIn", n, "Send"), d.cbInSend);
        f.SetChecked(N("cbIn", n, "Cont"), d.cbInCont);
        f.SetText(N("edIn", n, "Duration"), d.edInDuration);
        if (d.rbInMode >= 0 && d.rbInMode < 5)
            f.SetChecked(N("rbIn", n, kModeSuffix[d.rbInMode]), true);
    }
    f.SetText("edCnt12SendPeriod", v.edCnt12SendPeriod);
    f.SetText("edCnt34SendPeriod", v.edCnt34SendPeriod);
    f.SetText("edCnt56SendPeriod", v.edCnt56SendPeriod);
    f.SetText("edCnt78SendPeriod", v.edCnt78SendPeriod);
    f.SetText("edAInWritePeriod", v.edAInWritePeriod);
}

void RunRulesAfterInputsConf(SettingsEditor& editor)
{
    if (editor.inputs)
        editor.inputs->ShowFirstInputsPage();
    if (editor.analog) {
        editor.analog->AsDigitalRule(1);
        editor.analog->AsDigitalRule(2);
        editor.analog->AdaptiveRule(1);
        editor.analog->AdaptiveRule(2);
    }
    if (editor.inputs) {
        for (int n = 1; n <= kInputCount; ++n)
            editor.inputs->InputModeRule(n);
        for (int n = 1; n <= kInputCount; ++n)
            editor.inputs->LevelMirror(n);
        for (int n = 1; n <= kInputCount; ++n)
            editor.inputs->DurationMirror(n);
    }
}

// Block 3 ------------------------------------------------------------------

Rs485ConfValues ReadRs485ConfValues(SettingsEditor& editor)
{
    FieldAccess f(editor);
    Rs485ConfValues v;
    for (int n = 1; n <= static_cast<int>(kFuelSensorCount); ++n) {
        v.cbLLSAddr[n - 1] = f.Checked(N("cbLLSAddr", n));
        v.edLLSAddr[n - 1] = f.Text(N("edLLSAddr", n));
    }
    v.edLLSWritePeriod14 = f.Text("edLLSWritePeriod14");
    v.edLLSWritePeriod58 = f.Text("edLLSWritePeriod58");
    v.cbRS485Speed = f.Index("cbRS485Speed");
    v.cbRS485EnableGlonass = f.Checked("cbRS485EnableGlonass");
    v.GlonassMode = f.Radio("GlonassMode");
    v.GlonassModeEnabled = f.Enabled("GlonassMode");
    return v;
}

void WriteRs485ConfValues(SettingsEditor& editor, const Rs485ConfValues& v)
{
    FieldAccess f(editor);
    for (int n = 1; n <= static_cast<int>(kFuelSensorCount); ++n) {
        f.SetChecked(N("cbLLSAddr", n), v.cbLLSAddr[n - 1]);
        f.SetText(N("edLLSAddr", n), v.edLLSAddr[n - 1]);
    }
    f.SetText("edLLSWritePeriod14", v.edLLSWritePeriod14);
    f.SetText("edLLSWritePeriod58", v.edLLSWritePeriod58);
    f.SetIndex("cbRS485Speed", v.cbRS485Speed);
    f.SetChecked("cbRS485EnableGlonass", v.cbRS485EnableGlonass);
    f.SetRadio("GlonassMode", v.GlonassMode);
    f.SetEnabled("GlonassMode", v.GlonassModeEnabled);
}

void RunRulesAfterRs485Conf(SettingsEditor& editor)
{
    if (editor.rs485)
        for (int n = 1; n <= kInputCount; ++n)
            editor.rs485->FuelSensorRule(n);
}

// Block 5 ------------------------------------------------------------------

CanConfValues ReadCanConfValues(SettingsEditor& editor)
{
    FieldAccess f(editor);
    CanConfValues v;
    v.edCANPeriodSave = f.Text("edCANPeriodSave");
    return v;
}

void WriteCanConfValues(SettingsEditor& editor, const CanConfValues& v)
{
    FieldAccess(editor).SetText("edCANPeriodSave", v.edCANPeriodSave);
}

void RunRulesAfterCanConf(SettingsEditor& editor)
{
    if (editor.can)
        editor.can->RebuildCanLists();
}

// Block 6 ------------------------------------------------------------------

OneWireConfValues ReadOneWireConfValues(SettingsEditor& editor)
{
    FieldAccess f(editor);
    OneWireConfValues v;
    v.cbIbReadAny = f.Checked("cbIbReadAny");
    v.lbIbAddrList = f.Items("lbIbAddrList");
    v.edIbAddr = f.Text("edIbAddr");
    v.cbItempReadAll = f.Checked("cbItempReadAll");
    for (int n = 1; n <= static_cast<int>(kOneWireSensorCount); ++n) {
        v.cbItempAddr[n - 1] = f.Checked(N("cbItempAddr", n));
        v.edItempAddr[n - 1] = f.Text(N("edItempAddr", n));
    }
    v.cbIbPulseOut1 = f.Checked("cbIbPulseOut1");
    v.cbIbPulseOut2 = f.Checked("cbIbPulseOut2");
    v.edItempWritePeriod14 = f.Text("edItempWritePeriod14");
    v.edItempWritePeriod58 = f.Text("edItempWritePeriod58");
    v.edItempWritePeriod14Enabled = f.Enabled("edItempWritePeriod14");
    v.edItempWritePeriod58Enabled = f.Enabled("edItempWritePeriod58");
    return v;
}

void WriteOneWireConfValues(SettingsEditor& editor, const OneWireConfValues& v)
{
    FieldAccess f(editor);
    f.SetChecked("cbIbReadAny", v.cbIbReadAny);
    f.SetItems("lbIbAddrList", v.lbIbAddrList);
    f.SetText("edIbAddr", v.edIbAddr);
    f.SetChecked("cbItempReadAll", v.cbItempReadAll);
    for (int n = 1; n <= static_cast<int>(kOneWireSensorCount); ++n) {
        f.SetChecked(N("cbItempAddr", n), v.cbItempAddr[n - 1]);
        f.SetText(N("edItempAddr", n), v.edItempAddr[n - 1]);
    }
    f.SetChecked("cbIbPulseOut1", v.cbIbPulseOut1);
    f.SetChecked("cbIbPulseOut2", v.cbIbPulseOut2);
    f.SetText("edItempWritePeriod14", v.edItempWritePeriod14);
    f.SetText("edItempWritePeriod58", v.edItempWritePeriod58);
    f.SetEnabled("edItempWritePeriod14", v.edItempWritePeriod14Enabled);
    f.SetEnabled("edItempWritePeriod58", v.edItempWritePeriod58Enabled);
}

void RunRulesAfterOneWireConf(SettingsEditor& editor)
{
    if (!editor.oneWire)
        return;
    editor.oneWire->IbReadAnyRule();
    for (int n = 1; n <= static_cast<int>(kOneWireSensorCount); ++n)
        editor.oneWire->SensorSlotRule(n);
    editor.oneWire->ReadAllRule();
}

} // namespace plendoro
