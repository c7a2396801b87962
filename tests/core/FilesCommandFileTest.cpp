// The command file's lines from plain field values: every line's forms and
// conditions, and the order the file carries them in.
#include "files/core/CommandFile.h"

#include <gtest/gtest.h>

using namespace plendoro;

namespace {

// A configuration with every optional line present and no two values alike.
CommandFileValues Configured()
{
    CommandFileValues v;
    v.main = {.cbWriteMethod = 1, .edWritePeriod = "30", .cbWideRecord = true, .cbStaticNav = false};
    v.net = {.edSendPeriod = "120",
             .edPassword = "",
             .rbDHCPIp = false,
             .rbManualIp = true,
             .edIpAddress = "192.168.1.5",
             .edIpMask = "255.255.0.0",
             .edDefGate = "192.168.1.1",
             .cbAuth = 1,
             .rgWiFiType = 1,
             .edServer = "10.0.0.1",
             .edServerPort = "5000",
             .edIpUDPServer = "",
             .edPortUDPServer = "",
             .cbEncrypt = 2,
             .edWEPKey = "0123456789ABC",
             .edSSID = "Fleet",
             .cbSendMethod = 2,
             .edSendTime = {TimeOfDay{7, 5}, {12, 30}, {23, 59}},
             .edOnTime = {"2", "3", "4"},
             .cbwChanel = 11};
    v.edSendPeriodEnabled = false;
    v.inputs.input = {DigitalInputValues{0, false, false, "1", kModeBase},
                      {1, true, false, "5", kModeBase},
                      {0, true, true, "9", kModeBase},
                      {0, false, false, "1", kModeCount},
                      {0, false, false, "1", kModePCount},
                      {0, false, false, "1", kModeFreq},
                      {0, false, false, "1", kModeMotion},
                      {0, false, false, "1", -1}};
    v.inputs.analog = {AnalogInputValues{true, 700, true, 0, "500", "8"}, {false, 257, true, 1, "1000", "16"}};
    v.inputs.edCnt34SendPeriod = "60";
    v.inputs.edCnt78SendPeriod = "10";
    v.inputs.edAInWritePeriod = "300";
    v.cbRS485SpeedText = "9600";
    v.rs485 = {.cbLLSAddr = {true, false, true},
               .edLLSAddr = {"10", "11", "12", "13", "14", "15", "16", "17"},
               .edLLSWritePeriod14 = "20",
               .edLLSWritePeriod58 = "0",
               .cbRS485EnableGlonass = true,
               .GlonassMode = 1};
    v.oneWire = {.cbIbReadAny = false,
                 .lbIbAddrList = {"01A2B3C4D5E6F708", "0102030405060708"},
                 .edIbAddr = "",
                 .cbItempReadAll = true,
                 .cbItempAddr = {false, true, false, false, false, false, false, true},
                 .edItempAddr = {"", "28FF000000000001", "", "", "", "", "", "28FF000000000008"},
                 .cbIbPulseOut1 = true,
                 .edItempWritePeriod14 = "60",
                 .edItempWritePeriod58 = "120"};
    return v;
}

std::string Text(const CommandFileValues& v)
{
    return CommandFileBytes(BuildKVCConf(v));
}

// The one line of the file that starts with `key` and "=", or "" if none.
std::string LineOf(const CommandFileValues& v, const std::string& key)
{
    const std::string text = "\n" + Text(v);
    const std::size_t at = text.find("\n" + key + "=");
    if (at == std::string::npos)
        return {};
    return text.substr(at + 1, text.find("\r\n", at) - at - 1);
}

} // namespace

TEST(FilesCommandFile, WholeFileInTableOrder)
{
    EXPECT_EQ(Text(Configured()),
              "MODEWR=N;\r\nPERIODWR=30;\r\nMODE1=0;\r\nMODEWIDE=1;\r\nTRANSMODE=2;\r\nPERIODSEND=;\r\n"
              "TIMEON1=7,5;\r\nTIMEON2=12,30;\r\nTIMEON3=23,59;\r\n"
              "ONDURATION1=2;\r\nONDURATION2=3;\r\nONDURATION3=4;\r\n"
              "IP=10.0.0.1;\r\nPORT=5000;\r\nSSID=Fleet;\r\nCHANEL=11;\r\nAUTHEN=1;\r\nTYPENET=1;\r\nENCRYPT=2;\r\n"
              "KEYEN=0123456789ABC;\r\nDHCP=0;\r\nMYIP=192.168.1.5;\r\nMASK=255.255.0.0;\r\nGATEWAY=192.168.1.1;\r\n"
              "INPFLAGS1=0,0,0,0;\r\nINPFLAGS2=1,1,5,0;\r\nINPFLAGS3=0,1,0,0;\r\nINPFLAGS4=0,0,0,1;\r\n"
              "INPFLAGS5=0,0,0,2;\r\nINPFLAGS6=0,0,0,3;\r\nINPFLAGS7=0,0,0,4;\r\n" // input 8 has no mode
              "PERIODCOUNT12=3600;\r\nPERIODCOUNT34=60;\r\nPERIODCOUNT56=0;\r\nPERIODCOUNT78=10;\r\n"
              "PERIODANALOG=300;\r\n"
              "MODEAD1=D;\r\nMODEAD2=A;\r\nPOROG1=700;\r\nPOROG2=;\r\nPERIODSR1=8;\r\nPERIODSR2=16;\r\n"
              "MODEANALOG1=F;\r\nMODEANALOG2=V;\r\nALEVEL1=500;\r\nALEVEL2=1000;\r\n"
              "SPEED485=9600;\r\nLLSADDR=10,0,12,0,0,0,0,0;\r\nGLONASS=3;\r\nLLSTIME14=20;\r\nLLSTIME58=0;\r\n"
              "IBUTTOUT=Y,N;\r\nIBUTTANY=N;\r\nIBUTTADDR=01A2B3C4D5E6F708,0102030405060708;\r\nONLYTEMP=Y;\r\n"
              "TEMPADDR=0,28FF000000000001,0,0,0,0,0,28FF000000000008;\r\nTEMPPERIOD14=60;\r\nTEMPPERIOD58=120;\r\n");
}

TEST(FilesCommandFile, SendScheduleFollowsTheEnabledFields)
{
    CommandFileValues v = Configured();
    v.edSendPeriodEnabled = true;
    v.edSendTimeEnabled = {false, true, false};
    v.edOnTimeEnabled = {false, false, true};
    EXPECT_EQ(LineOf(v, "PERIODSEND"), "PERIODSEND=120;");
    EXPECT_EQ(LineOf(v, "TIMEON1"), "TIMEON1=;");
    EXPECT_EQ(LineOf(v, "TIMEON2"), "TIMEON2=12,30;");
    EXPECT_EQ(LineOf(v, "ONDURATION1"), "ONDURATION1=;");
    EXPECT_EQ(LineOf(v, "ONDURATION3"), "ONDURATION3=4;");
}

TEST(FilesCommandFile, NetworkLinesAndTheirAbsence)
{
    CommandFileValues v = Configured();
    v.net.cbEncrypt = 0;
    v.net.rbDHCPIp = true;
    v.net.rbManualIp = false;
    const std::string text = Text(v);
    EXPECT_NE(text.find("ENCRYPT=0;\r\nKEYEN=;\r\nDHCP=1;\r\nINPFLAGS1="), std::string::npos) << text;
    EXPECT_EQ(text.find("MYIP"), std::string::npos);

    v.net.cbEncrypt = 1;
    EXPECT_EQ(LineOf(v, "KEYEN"), "KEYEN=0123456789ABC;");
    v.main.cbWriteMethod = 0;
    v.main.cbStaticNav = true;
    EXPECT_EQ(LineOf(v, "MODEWR"), "MODEWR=A;");
    EXPECT_EQ(LineOf(v, "MODE1"), "MODE1=1;");
    v.main.cbWriteMethod = -1;
    EXPECT_EQ(LineOf(v, "MODEWR"), "MODEWR=N;") << "no selection is not adaptive";
    v.net.edSSID = "Гараж";
    EXPECT_EQ(LineOf(v, "SSID"), "SSID=\xC3\xE0\xF0\xE0\xE6;") << "field texts leave in the code page";
}

TEST(FilesCommandFile, InputFlagsForms)
{
    CommandFileValues v = Configured();
    DigitalInputValues& in2 = v.inputs.input[1];
    in2 = {1, true, false, "5", kModeBase};
    EXPECT_EQ(LineOf(v, "INPFLAGS2"), "INPFLAGS2=1,1,5,0;");
    in2.cbInCont = true;
    EXPECT_EQ(LineOf(v, "INPFLAGS2"), "INPFLAGS2=1,1,0,0;");
    in2.cbInSend = false;
    EXPECT_EQ(LineOf(v, "INPFLAGS2"), "INPFLAGS2=1,0,0,0;") << "not sending wins over continuous";
    // A counter ignores its level and sending fields.
    in2 = {1, true, false, "5", kModeCount};
    EXPECT_EQ(LineOf(v, "INPFLAGS2"), "INPFLAGS2=0,0,0,1;");
    in2.rbInMode = -1;
    EXPECT_EQ(LineOf(v, "INPFLAGS2"), "");
    EXPECT_NE(Text(v).find("INPFLAGS1=0,0,0,0;\r\nINPFLAGS3="), std::string::npos);
}

TEST(FilesCommandFile, ReceiverLineByBoxAndMode)
{
    CommandFileValues v = Configured();
    const std::pair<int, const char*> modes[] = {
        {0, "GLONASS=1;"}, {1, "GLONASS=3;"}, {2, "GLONASS=4;"}, {-1, "GLONASS=0;"}};
    for (const auto& [mode, line] : modes) {
        v.rs485.GlonassMode = mode;
        v.rs485.cbRS485EnableGlonass = true;
        EXPECT_EQ(LineOf(v, "GLONASS"), line) << mode;
        v.rs485.cbRS485EnableGlonass = false;
        EXPECT_EQ(LineOf(v, "GLONASS"), "GLONASS=0;") << mode;
    }
}

TEST(FilesCommandFile, KeyList)
{
    CommandFileValues v = Configured();
    v.oneWire.lbIbAddrList.clear();
    EXPECT_EQ(LineOf(v, "IBUTTADDR"), "IBUTTADDR=;");
    v.oneWire.lbIbAddrList = {"0000000000000001"};
    EXPECT_EQ(LineOf(v, "IBUTTADDR"), "IBUTTADDR=0000000000000001;");
    v.oneWire.cbIbReadAny = true;
    EXPECT_EQ(LineOf(v, "IBUTTANY"), "IBUTTANY=Y;");
    EXPECT_EQ(LineOf(v, "IBUTTADDR"), "") << "any key is read: no list";
}

TEST(FilesCommandFile, ExtensionIsAddedOnce)
{
    EXPECT_EQ(CommandFileName("/home/u/truck"), "/home/u/truck.kvc");
    EXPECT_EQ(CommandFileName("/home/u/truck.kvc"), "/home/u/truck.kvc");
    EXPECT_EQ(CommandFileName("/home/u/truck.KVC"), "/home/u/truck.KVC");
    EXPECT_EQ(CommandFileName("/home/u/truck.kvc.old"), "/home/u/truck.kvc.old.kvc");
    EXPECT_EQ(CommandFileName("/home/u/kvc"), "/home/u/kvc.kvc");
}
