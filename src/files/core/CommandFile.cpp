#include "files/core/CommandFile.h"

#include "common/Cp1251.h"

#include <cstdio>
#include <strings.h>

namespace plendoro {

namespace {

std::string Line(const std::string& key, const std::string& value)
{
    return key + "=" + value + ";\r\n";
}

std::string Line(const std::string& key, int value)
{
    return Line(key, std::to_string(value));
}

std::string Numbered(const char* key, int n)
{
    return key + std::to_string(n);
}

std::string YesNo(bool on)
{
    return on ? "Y" : "N";
}

std::string InputFlags(int n, const DigitalInputValues& d)
{
    const std::string key = Numbered("INPFLAGS", n);
    switch (d.rbInMode) {
    case kModeBase: {
        std::string sending = "0,0,0";
        if (d.cbInSend)
            sending = d.cbInCont ? "1,0,0" : "1," + d.edInDuration + ",0";
        return Line(key, std::to_string(d.cbInLevel) + "," + sending);
    }
    case kModeCount:
    case kModePCount:
    case kModeFreq:
    case kModeMotion: return Line(key, "0,0,0," + std::to_string(d.rbInMode));
    default: return {}; // no mode button on: the input has no line
    }
}

// Eight slots: the slot's text where it is ticked, else 0.
template <std::size_t N>
std::string SlotList(const std::array<bool, N>& ticked, const std::array<std::string, N>& text)
{
    std::string list;
    for (std::size_t i = 0; i < N; ++i) {
        if (i > 0)
            list += ",";
        list += ticked[i] ? text[i] : "0";
    }
    return list;
}

int GlonassValue(const Rs485ConfValues& r)
{
    if (!r.cbRS485EnableGlonass)
        return 0;
    switch (r.GlonassMode) {
    case 0: return 1;
    case 1: return 3;
    case 2: return 4;
    default: return 0;
    }
}

} // namespace

KVCConf BuildKVCConf(const CommandFileValues& v)
{
    KVCConf c;
    const NetConfValues& net = v.net;

    c.MODEWR = Line("MODEWR", v.main.cbWriteMethod == 0 ? "A" : "N");
    c.PERIODWR = Line("PERIODWR", v.main.edWritePeriod);
    // Static navigation on is written as 1, as the main block stores it.
    c.MODE1 = Line("MODE1", v.main.cbStaticNav ? 1 : 0);
    c.MODEWIDE = Line("MODEWIDE", v.main.cbWideRecord ? 1 : 0);
    c.TRANSMODE = Line("TRANSMODE", net.cbSendMethod);
    c.PERIODSEND = Line("PERIODSEND", v.edSendPeriodEnabled ? net.edSendPeriod : "");
    for (std::size_t i = 0; i < kTransferTimeCount; ++i) {
        const int n = static_cast<int>(i) + 1;
        const TimeOfDay t = net.edSendTime[i];
        c.TIMEON[i] = Line(Numbered("TIMEON", n),
                           v.edSendTimeEnabled[i] ? std::to_string(t.hour) + "," + std::to_string(t.minute) : "");
        c.ONDURATION[i] = Line(Numbered("ONDURATION", n), v.edOnTimeEnabled[i] ? net.edOnTime[i] : "");
    }
    c.IP = Line("IP", net.edServer);
    c.PORT = Line("PORT", net.edServerPort);
    c.SSID = Line("SSID", net.edSSID);
    c.CHANEL = Line("CHANEL", net.cbwChanel);
    c.AUTHEN = Line("AUTHEN", net.cbAuth);
    c.TYPENET = Line("TYPENET", net.rgWiFiType);
    c.ENCRYPT = Line("ENCRYPT", net.cbEncrypt);
    c.KEYEN = Line("KEYEN", net.cbEncrypt != 0 ? net.edWEPKey : "");
    c.DHCP = Line("DHCP", net.rbDHCPIp ? 1 : 0);
    if (!net.rbDHCPIp) {
        c.MYIP = Line("MYIP", net.edIpAddress);
        c.MASK = Line("MASK", net.edIpMask);
        c.GATEWAY = Line("GATEWAY", net.edDefGate);
    }

    const InputsConfValues& in = v.inputs;
    for (std::size_t i = 0; i < kDigitalInputCount; ++i)
        c.INPFLAGS[i] = InputFlags(static_cast<int>(i) + 1, in.input[i]);
    c.PERIODCOUNT12 = Line("PERIODCOUNT12", in.edCnt12SendPeriod);
    c.PERIODCOUNT34 = Line("PERIODCOUNT34", in.edCnt34SendPeriod);
    c.PERIODCOUNT56 = Line("PERIODCOUNT56", in.edCnt56SendPeriod);
    c.PERIODCOUNT78 = Line("PERIODCOUNT78", in.edCnt78SendPeriod);
    c.PERIODANALOG = Line("PERIODANALOG", in.edAInWritePeriod);
    for (std::size_t k = 0; k < kAnalogInputCount; ++k) {
        const int n = static_cast<int>(k) + 1;
        const AnalogInputValues& a = in.analog[k];
        c.MODEAD[k] = Line(Numbered("MODEAD", n), a.cbAInAsDigital ? "D" : "A");
        c.POROG[k] = Line(Numbered("POROG", n), a.cbAInAsDigital ? std::to_string(a.edAInDigLevel) : "");
        c.PERIODSR[k] = Line(Numbered("PERIODSR", n), a.edAInAverPeriod);
        c.MODEANALOG[k] = Line(Numbered("MODEANALOG", n), a.cbAInAdaptive ? (a.cbAInAdMethod == 0 ? "F" : "V") : "");
        c.ALEVEL[k] = Line(Numbered("ALEVEL", n), a.cbAInAdaptive ? a.edAInAdLevel : "");
    }

    const Rs485ConfValues& rs = v.rs485;
    c.SPEED485 = Line("SPEED485", v.cbRS485SpeedText);
    c.LLSADDR = Line("LLSADDR", SlotList(rs.cbLLSAddr, rs.edLLSAddr));
    c.LLSTIME14 = Line("LLSTIME14", rs.edLLSWritePeriod14);
    c.LLSTIME58 = Line("LLSTIME58", rs.edLLSWritePeriod58);
    c.GLONASS = Line("GLONASS", GlonassValue(rs));

    const OneWireConfValues& ow = v.oneWire;
    c.IBUTTOUT = "IBUTTOUT=" + YesNo(ow.cbIbPulseOut1) + "," + YesNo(ow.cbIbPulseOut2) + ";\r\n";
    c.IBUTTANY = Line("IBUTTANY", YesNo(ow.cbIbReadAny));
    if (!ow.cbIbReadAny) {
        std::string keys;
        for (std::size_t i = 0; i < ow.lbIbAddrList.size(); ++i)
            keys += (i > 0 ? "," : "") + ow.lbIbAddrList[i];
        c.IBUTTADDR = Line("IBUTTADDR", keys);
    }
    c.ONLYTEMP = Line("ONLYTEMP", YesNo(ow.cbItempReadAll));
    c.TEMPADDR = Line("TEMPADDR", SlotList(ow.cbItempAddr, ow.edItempAddr));
    c.TEMPPERIOD14 = Line("TEMPPERIOD14", ow.edItempWritePeriod14);
    c.TEMPPERIOD58 = Line("TEMPPERIOD58", ow.edItempWritePeriod58);
    return c;
}

std::string CommandFileBytes(const KVCConf& c)
{
    std::string text = c.MODEWR + c.PERIODWR + c.MODE1 + c.MODEWIDE + c.TRANSMODE + c.PERIODSEND;
    for (const std::string& s : c.TIMEON)
        text += s;
    for (const std::string& s : c.ONDURATION)
        text += s;
    text += c.IP + c.PORT + c.SSID + c.CHANEL + c.AUTHEN + c.TYPENET + c.ENCRYPT + c.KEYEN + c.DHCP + c.MYIP + c.MASK +
            c.GATEWAY;
    for (const std::string& s : c.INPFLAGS)
        text += s;
    text += c.PERIODCOUNT12 + c.PERIODCOUNT34 + c.PERIODCOUNT56 + c.PERIODCOUNT78 + c.PERIODANALOG;
    for (const auto* group : {&c.MODEAD, &c.POROG, &c.PERIODSR, &c.MODEANALOG, &c.ALEVEL})
        for (const std::string& s : *group)
            text += s;
    // The receiver line is assembled after the fuel periods but belongs
    // right after the sensor addresses in the file.
    text += c.SPEED485 + c.LLSADDR + c.GLONASS + c.LLSTIME14 + c.LLSTIME58;
    text += c.IBUTTOUT + c.IBUTTANY + c.IBUTTADDR + c.ONLYTEMP + c.TEMPADDR + c.TEMPPERIOD14 + c.TEMPPERIOD58;
    return Utf8ToCp1251(text);
}

std::string CommandFileName(const std::string& chosen)
{
    // Letter case is ignored so that "Config.KVC" keeps its one extension.
    const std::string ext = ".kvc";
    if (chosen.size() >= ext.size() && strcasecmp(chosen.c_str() + chosen.size() - ext.size(), ext.c_str()) == 0)
        return chosen;
    return chosen + ext;
}

} // namespace plendoro
