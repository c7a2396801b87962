// The group "Прошивка" driven through its buttons: a failed download on the
// update thread against a loopback server, the firmware on disk and the
// loader's start.
#include "EditorHarness.h"
#include "LoopbackUpdateServer.h"
#include "common/Log.h"

#include "firmware/UpdateFirmware.h"
#include "firmware/core/FirmwareFile.h"

#include <QLabel>
#include <QSignalSpy>

#include <filesystem>
#include <fstream>

using namespace plendoro;
using plendoro::test::Bytes;
using plendoro::test::LoopbackUpdateServer;
namespace fs = std::filesystem;

namespace {

const QString kOnDisk = QStringLiteral("Версия прошивки на диске:\r\n");

class FirmwareGroupTest : public test::EditorTest {
protected:
    FirmwareGroupTest()
    {
        char tmpl[] = "/tmp/plendoro-fwgroup-XXXXXX";
        base_ = mkdtemp(tmpl);
        fs::create_directory(base_ + "/firmware");
        firmware.SetBaseFolder(QString::fromStdString(base_));
        firmware.SetWaitBound(std::chrono::milliseconds(300));
        firmware.SetLauncher([this](const QString& program, const QStringList& args) {
            launched << program << args;
            return launchWorks;
        });
    }
    ~FirmwareGroupTest() override { fs::remove_all(base_); }

    void Show(std::uint16_t port, const std::string& server = "127.0.0.1")
    {
        AppSettings settings;
        settings.updateServer = server;
        settings.updatePort = port;
        firmware.FormShow(settings);
    }
    // Clicks and waits for the operation's end, bounded.
    bool ClickAndWait(const char* button)
    {
        QSignalSpy done(&firmware, &FirmwareController::UpdateFinished);
        Box(QString::fromLatin1(button))->click();
        return done.wait(10000);
    }
    QString Label(const char* name) { return Field<QLabel>(QString::fromLatin1(name))->text(); }
    void PutFile(const std::string& name, int major, int minor)
    {
        const Bytes image(64, 0x42);
        const Bytes f = BuildFirmwareFile(major, minor, 0, image.data(), image.size());
        std::ofstream(base_ + "/firmware/" + name, std::ios::binary)
            .write(reinterpret_cast<const char*>(f.data()), static_cast<std::streamsize>(f.size()));
    }

    std::string base_;
    FirmwareController firmware{editor, dialogs,
                                [] {
                                    DeviceIdentity id;
                                    id.serialNumber = 77;
                                    id.firmwareMajor = 4;
                                    id.firmwareMinor = 3;
                                    return id;
                                },
                                nullptr};
    QStringList launched;
    bool launchWorks = true;
};

LoopbackUpdateServer::Handler Serving(std::uint32_t crcDelta = 0)
{
    return [=](const Bytes& request) -> std::vector<Bytes> {
        const Bytes image(100, 0x33);
        if (request[9] == 0)
            return {test::VersionReply(ReadLe32(request.data() + 5), "KVTW-4.7", 100, 0)};
        return {test::ImageReply(ReadLe32(request.data() + 5), "KVTW-4.7", image, crcDelta)};
    };
}

} // namespace

TEST_F(FirmwareGroupTest, ShowScansTheFolderAndClearsTheStatus)
{
    Field<QLabel>(QStringLiteral("lbStatusCheck"))->setText(QStringLiteral("old"));
    Show(1);
    EXPECT_EQ(Label("lbStatusCheck"), QString());
    EXPECT_EQ(Label("lbFWOnDisk"), kOnDisk + QStringLiteral("прошивка отстутствует"));
    EXPECT_FALSE(IsOwnEnabled(QStringLiteral("btUpdateFW")));

    PutFile("a.eraw", 3, 9);
    PutFile("b.eraw", 4, 1);
    Show(1);
    EXPECT_EQ(Label("lbFWOnDisk"), kOnDisk + QStringLiteral("KVTW-4.01"));
    EXPECT_TRUE(IsOwnEnabled(QStringLiteral("btUpdateFW")));
}

TEST_F(FirmwareGroupTest, FailedDownloadLeavesTheCheckOpen)
{
    PutFile("firmware.eraw", 2, 0);
    LoopbackUpdateServer server(Serving(1));
    Show(server.Port());
    ASSERT_TRUE(IsOwnEnabled(QStringLiteral("btUpdateFW")));
    Field<QWidget>(QStringLiteral("btDownloadFW"))->setEnabled(true);
    ASSERT_TRUE(ClickAndWait("btDownloadFW"));
    EXPECT_EQ(Label("lbStatusCheck"), QStringLiteral("Ошибка загрузки обновления"));
    EXPECT_TRUE(IsOwnEnabled(QStringLiteral("btCheckFW")));
    // The old file stays and can still be flashed.
    EXPECT_EQ(Label("lbFWOnDisk"), kOnDisk + QStringLiteral("KVTW-2.00"));
    EXPECT_TRUE(IsOwnEnabled(QStringLiteral("btUpdateFW")));
}

TEST_F(FirmwareGroupTest, LoaderGetsThePathWithoutQuotesOrAMessageWhenItCannotStart)
{
    PutFile("KVTW 5.eraw", 5, 2);
    Show(1);
    ASSERT_TRUE(IsOwnEnabled(QStringLiteral("btUpdateFW")));
    const QString path = QString::fromStdString(base_ + "/firmware/KVTW 5.eraw");
    EXPECT_EQ(firmware.DiskFirmwarePath(), QLatin1Char('"') + path + QLatin1Char('"'));
    Box(QStringLiteral("btUpdateFW"))->click();
    EXPECT_EQ(launched, (QStringList{QStringLiteral("Flashporter"), path}));
    EXPECT_TRUE(dialogs.shown.empty());

    launchWorks = false;
    Box(QStringLiteral("btUpdateFW"))->click();
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].caption, QStringLiteral("Kovaltrak Plendoro"));
    EXPECT_EQ(dialogs.shown[0].text, QStringLiteral("Не удалось запустить программу прошивки Flashporter"));
}

TEST_F(FirmwareGroupTest, TheRealLauncherLooksOnPathOnly)
{
    PutFile("f.eraw", 5, 2);
    FirmwareController real(editor, dialogs, {}, nullptr);
    AppSettings settings;
    real.SetBaseFolder(QString::fromStdString(base_));
    real.FormShow(settings);
    const QByteArray oldPath = qgetenv("PATH");
    qputenv("PATH", QByteArray::fromStdString(base_));
    real.btUpdateFWClick();
    qputenv("PATH", oldPath);
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text, QStringLiteral("Не удалось запустить программу прошивки Flashporter"));
}

namespace {
std::vector<std::string> logged;
void Capture(LogChannel, std::string_view line)
{
    logged.emplace_back(line);
}
} // namespace

// A host name is resolved off the window's thread; what is neither an
// address nor a name that resolves fails as a refused connection, and the
// byte log says why.
TEST_F(FirmwareGroupTest, AServerNameIsResolvedAndAnythingElseFailsToConnect)
{
    LoopbackUpdateServer server(Serving());
    firmware.SetResolver([](const std::string& name) -> std::optional<std::string> {
        if (name == "updates.example.test")
            return "127.0.0.1";
        return std::nullopt;
    });
    SetLogSink(&Capture);
    const QString refused = QStringLiteral("Ошибка подключения к\r\nсерверу обновлений");
    const std::pair<const char*, QString> cases[] = {
        {"updates.example.test", QStringLiteral("Версия прошивки на сервере:\r\nKVTW-4.07")},
        {"unknown.example.test", refused},
        {"1..2.3", refused},
    };
    for (const auto& [name, status] : cases) {
        logged.clear();
        Show(server.Port(), name);
        ASSERT_TRUE(ClickAndWait("btCheckFW")) << name;
        EXPECT_EQ(Label("lbStatusCheck"), status) << name;
        const bool said = std::find(logged.begin(), logged.end(),
                                    std::string("Неверный адрес сервера обновлений: ") + name) != logged.end();
        EXPECT_EQ(said, status == refused) << name;
    }
    SetLogSink(nullptr);
    EXPECT_EQ(server.Requests().size(), 1u) << "only the resolved name reached a server";
}
