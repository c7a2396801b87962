// The command file exported from the real editor: the whole text after the
// general defaults, lines that follow the page rules, the file name and the
// failures.
#include "FilesFixture.h"

using namespace files_test;

namespace {

class FilesCommandExport : public FilesFixture {
protected:
    void SetUp() override
    {
        Attach(403);
        PressDefaults();
    }
    // Exports into the temporary folder under the name the dialog returns.
    QByteArray Export(const QString& chosen, const QString& expectedFile)
    {
        dialogs.paths = {chosen};
        EXPECT_TRUE(ExportCommandFile(editor, Context(403)));
        return ReadFile(expectedFile);
    }
    QByteArray Export() { return Export(Path("cmd"), Path("cmd.kvc")); }
    QString Path(const char* name) const { return tempDir.path() + QLatin1Char('/') + QLatin1String(name); }
    static QByteArray LineOf(const QByteArray& text, const QByteArray& key)
    {
        for (const QByteArray& line : text.split('\n'))
            if (line.startsWith(key + '='))
                return line.chopped(1); // without its CR
        return {};
    }
};

} // namespace

TEST_F(FilesCommandExport, WholeFileAfterTheGeneralDefaults)
{
    EXPECT_EQ(Export(),
              QByteArray("MODEWR=A;\r\nPERIODWR=5;\r\nMODE1=1;\r\nMODEWIDE=0;\r\nTRANSMODE=0;\r\n"
                         "PERIODSEND=60;\r\nTIMEON1=;\r\nTIMEON2=;\r\nTIMEON3=;\r\n"
                         "ONDURATION1=;\r\nONDURATION2=;\r\nONDURATION3=;\r\n"
                         "IP=127.0.0.1;\r\nPORT=2224;\r\nSSID=KV;\r\nCHANEL=0;\r\nAUTHEN=0;\r\n"
                         "TYPENET=0;\r\nENCRYPT=0;\r\nKEYEN=;\r\nDHCP=1;\r\n"
                         "INPFLAGS1=0,0,0,0;\r\nINPFLAGS2=0,0,0,0;\r\nINPFLAGS3=0,0,0,0;\r\n"
                         "INPFLAGS4=0,0,0,0;\r\nINPFLAGS5=1,0,0,0;\r\nINPFLAGS6=1,0,0,0;\r\n"
                         "INPFLAGS7=1,0,0,0;\r\nINPFLAGS8=1,0,0,0;\r\n"
                         "PERIODCOUNT12=3600;\r\nPERIODCOUNT34=0;\r\nPERIODCOUNT56=0;\r\nPERIODCOUNT78=0;\r\n"
                         "PERIODANALOG=3600;\r\nMODEAD1=A;\r\nMODEAD2=A;\r\nPOROG1=;\r\nPOROG2=;\r\n"
                         "PERIODSR1=16;\r\nPERIODSR2=16;\r\nMODEANALOG1=;\r\nMODEANALOG2=;\r\n"
                         "ALEVEL1=;\r\nALEVEL2=;\r\nSPEED485=19200;\r\nLLSADDR=0,0,0,0,0,0,0,0;\r\n"
                         "GLONASS=0;\r\nLLSTIME14=0;\r\nLLSTIME58=0;\r\nIBUTTOUT=N,N;\r\nIBUTTANY=Y;\r\n"
                         "ONLYTEMP=N;\r\nTEMPADDR=0,0,0,0,0,0,0,0;\r\nTEMPPERIOD14=0;\r\nTEMPPERIOD58=0;\r\n"));
    EXPECT_TRUE(status.empty()) << "success is silent";
}

TEST_F(FilesCommandExport, TimedTransferWritesTheTimesInsteadOfThePeriod)
{
    Choose("cbSendMethod", 1); // "Передача по времени"
    editor.FieldAs<QTimeEdit>(QStringLiteral("edSendTime1"))->setTime(QTime(7, 5));
    const QByteArray text = Export();
    EXPECT_EQ(LineOf(text, "TRANSMODE"), "TRANSMODE=1;");
    EXPECT_EQ(LineOf(text, "PERIODSEND"), "PERIODSEND=;");
    EXPECT_EQ(LineOf(text, "TIMEON1"), "TIMEON1=7,5;") << "as shown, without the time-zone shift";
    EXPECT_EQ(LineOf(text, "TIMEON2"), "TIMEON2=0,0;");
    EXPECT_EQ(LineOf(text, "ONDURATION1"), "ONDURATION1=1;");
}

TEST_F(FilesCommandExport, PlainInputSendingThroughThePage)
{
    List("cbIn2Level")->setCurrentIndex(1);
    Button("cbIn2Send")->click();
    Edit("edIn2Duration")->setText(QStringLiteral("5"));
    EXPECT_EQ(LineOf(Export(), "INPFLAGS2"), "INPFLAGS2=1,1,5,0;");
    Button("cbIn2Cont")->click();
    EXPECT_EQ(LineOf(Export(), "INPFLAGS2"), "INPFLAGS2=1,1,0,0;");
    Button("rbIn2Freq")->click();
    EXPECT_EQ(LineOf(Export(), "INPFLAGS2"), "INPFLAGS2=0,0,0,3;");
}

TEST_F(FilesCommandExport, StaticAddressAndKeyListLines)
{
    Button("rbManualIp")->click();
    Button("cbIbReadAny")->click();
    editor.FieldAs<QListWidget>(QStringLiteral("lbIbAddrList"))->addItems({"0000000000000A01", "0000000000000B01"});
    const QByteArray text = Export();
    EXPECT_TRUE(text.contains("DHCP=0;\r\nMYIP=192.168.0.100;\r\nMASK=255.255.255.0;\r\nGATEWAY=192.168.0.1;\r\n"));
    EXPECT_EQ(LineOf(text, "IBUTTANY"), "IBUTTANY=N;");
    EXPECT_EQ(LineOf(text, "IBUTTADDR"), "IBUTTADDR=0000000000000A01,0000000000000B01;");
}

TEST_F(FilesCommandExport, ExtensionIsNotDoubled)
{
    EXPECT_FALSE(Export(Path("truck.kvc"), Path("truck.kvc")).isEmpty());
    EXPECT_FALSE(QFile::exists(Path("truck.kvc.kvc")));
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text, QString()) << "no initial folder";
    EXPECT_EQ(fileDialogs.filters, QStringList{QStringLiteral("Kovaltrak Command (*.kvc) |  | no-ask")})
        << "no default extension, no overwrite question";
}

TEST_F(FilesCommandExport, CancelWritesNothing)
{
    const QStringList before = FilesIn(tempDir.path());
    dialogs.paths = {QString()};
    mSaveKVCClick(editor, Context(403));
    EXPECT_EQ(FilesIn(tempDir.path()), before);
    EXPECT_TRUE(status.empty());
}

TEST_F(FilesCommandExport, FailureIsReportedAndTheEarlierFileKept)
{
    dialogs.paths = {Path("gone/cmd")};
    EXPECT_FALSE(ExportCommandFile(editor, Context(403)));
    EXPECT_EQ(status, (std::vector<StatusLine>{{QStringLiteral("Не удалось сохранить KVC файл"), true}}));

    WriteFile(Path("cmd.kvc"), "earlier");
    status.clear();
    dialogs.paths = {Path("cmd")};
    bool ok = true;
    {
        FileSizeLimit limit(50);
        ok = ExportCommandFile(editor, Context(403));
    }
    EXPECT_FALSE(ok);
    EXPECT_EQ(status, (std::vector<StatusLine>{{QStringLiteral("Не удалось сохранить KVC файл"), true}}));
    EXPECT_EQ(ReadFile(Path("cmd.kvc")), QByteArray("earlier"));
}
