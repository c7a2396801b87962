#pragma once
// The command file: the editor's configuration as lines "KEY=value;" in a
// fixed order, for whatever reads such files outside this program. It
// reflects the fields as they stand, valid or not, and is independent of
// the settings blocks.
#include "model/FormValues.h"

#include <array>
#include <string>

namespace plendoro {

// The fields the lines are made from. The block value records carry nearly
// all of them; the rest are what only the command file looks at.
struct CommandFileValues {
    MainConfValues main;
    NetConfValues net;
    InputsConfValues inputs;
    Rs485ConfValues rs485;
    OneWireConfValues oneWire;

    // The send schedule is written only where the send method enables it.
    bool edSendPeriodEnabled = true;
    std::array<bool, kTransferTimeCount> edSendTimeEnabled{true, true, true};
    std::array<bool, kTransferTimeCount> edOnTimeEnabled{true, true, true};
    // The shown text of cbRS485Speed, for example "19200".
    std::string cbRS485SpeedText;
};

// One text per line of the file, each complete with its "\r\n", in the
// order they are assembled (the receiver line after the fuel periods). An
// empty member is a line the file does not carry.
struct KVCConf {
    std::string MODEWR, PERIODWR, MODE1, MODEWIDE, TRANSMODE, PERIODSEND;
    std::array<std::string, kTransferTimeCount> TIMEON, ONDURATION;
    std::string IP, PORT, SSID, CHANEL, AUTHEN, TYPENET, ENCRYPT, KEYEN, DHCP, MYIP, MASK, GATEWAY;
    std::array<std::string, kDigitalInputCount> INPFLAGS;
    std::string PERIODCOUNT12, PERIODCOUNT34, PERIODCOUNT56, PERIODCOUNT78, PERIODANALOG;
    std::array<std::string, kAnalogInputCount> MODEAD, POROG, PERIODSR, MODEANALOG, ALEVEL;
    std::string SPEED485, LLSADDR, LLSTIME14, LLSTIME58, GLONASS;
    std::string IBUTTOUT, IBUTTANY, IBUTTADDR, ONLYTEMP, TEMPADDR, TEMPPERIOD14, TEMPPERIOD58;
};

KVCConf BuildKVCConf(const CommandFileValues& v);
// The file's bytes: the lines in file order, Windows-1251, no header.
std::string CommandFileBytes(const KVCConf& conf);

// The chosen name with ".kvc" appended unless it already ends in it.
std::string CommandFileName(const std::string& chosen);

} // namespace plendoro
