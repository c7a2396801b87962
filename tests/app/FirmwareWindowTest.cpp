// The firmware group in the window started with the service features: the
// server from the settings file, and the tracker's identity in the requests.
#include "WindowFixture.h"

#include "LoopbackUpdateServer.h"
#include "editor/FieldLookup.h"
#include "firmware/UpdateFirmware.h"

#include <QAbstractButton>
#include <QFile>
#include <QSignalSpy>

using namespace windowtest;
using plendoro::test::LoopbackUpdateServer;
using UBytes = plendoro::test::Bytes;

namespace {

struct FirmwareWindow : TransferFixture {
    void WriteSettings(std::uint16_t port)
    {
        QFile ini(dir.filePath(QStringLiteral("Plendoro.ini")));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write(QStringLiteral("[COMMON]\r\nLastKvdFolder=%1/KVD\r\nUpdateServer=127.0.0.1\r\nUpdatePort=%2\r\n")
                      .arg(dir.path())
                      .arg(port)
                      .toUtf8());
    }
    // Also records whether the tracker was held while it ran.
    bool Click(const char* name)
    {
        QSignalSpy done(&form->Firmware(), &FirmwareController::UpdateFinished);
        form->Editor().FieldAs<QAbstractButton>(QLatin1String(name))->click();
        heldTheTracker =
            form->DeviceBusy() || !IsOwnEnabled(form->findChild<QWidget*>(QStringLiteral("btnReadSettings")));
        return done.wait(10000);
    }
    bool heldTheTracker = false;
    QString UpdateStatus() const { return form->Editor().FieldAs<QLabel>(QStringLiteral("lbStatusCheck"))->text(); }
};

} // namespace

TEST_F(FirmwareWindow, ServiceWindowAsksTheConfiguredServerWithTheTrackersIdentity)
{
    LoopbackUpdateServer server([](const UBytes& request) -> std::vector<UBytes> {
        const UBytes image(20, 9);
        const std::uint32_t serial = ReadLe32(request.data() + 5);
        if (request[9] == 0)
            return {plendoro::test::VersionReply(serial, "KVTW-4.5", 20, 0)};
        return {plendoro::test::ImageReply(serial, "KVTW-4.5", image)};
    });
    WriteSettings(server.Port());
    service = true;
    Start(403, false);
    ASSERT_TRUE(form->Editor().Field(QStringLiteral("gbFirmware"))->isVisibleTo(form.get()));
    EXPECT_TRUE(form->Editor()
                    .FieldAs<QLabel>(QStringLiteral("lbFWOnDisk"))
                    ->text()
                    .startsWith(QStringLiteral("Версия прошивки на диске:\r\n")));
    QDir(dir.path()).mkpath(QStringLiteral("firmware"));
    form->Firmware().SetBaseFolder(dir.path());

    ASSERT_TRUE(Click("btCheckFW"));
    EXPECT_FALSE(heldTheTracker) << "a check never touches the tracker";
    EXPECT_TRUE(IsOwnEnabled(form->findChild<QWidget*>(QStringLiteral("btnReadSettings"))));
    EXPECT_EQ(UpdateStatus(), QStringLiteral("Версия прошивки на сервере:\r\nKVTW-4.05"));
    EXPECT_TRUE(IsOwnEnabled(form->Editor().Field(QStringLiteral("btDownloadFW"))));
    ASSERT_TRUE(Click("btDownloadFW"));
    EXPECT_EQ(UpdateStatus(), QStringLiteral("Обновление загружено"));
    EXPECT_EQ(form->Editor().FieldAs<QLabel>(QStringLiteral("lbFWOnDisk"))->text(),
              QStringLiteral("Версия прошивки на диске:\r\nKVTW-4.05"));
    EXPECT_TRUE(IsOwnEnabled(form->Editor().Field(QStringLiteral("btCheckFW"))));
    EXPECT_TRUE(IsOwnEnabled(form->Editor().Field(QStringLiteral("btUpdateFW"))));

    // The loader flashes the tracker: closed while a device command runs;
    // the check and the download are not.
    PlSim_SetFault(0, "silent 1");
    form->btnReadSettingsClick();
    EXPECT_FALSE(IsOwnEnabled(form->Editor().Field(QStringLiteral("btUpdateFW"))));
    EXPECT_TRUE(IsOwnEnabled(form->Editor().Field(QStringLiteral("btCheckFW"))));
    EXPECT_TRUE(IsOwnEnabled(form->Editor().Field(QStringLiteral("btDownloadFW"))));
    Settle(*form);
    EXPECT_TRUE(IsOwnEnabled(form->Editor().Field(QStringLiteral("btUpdateFW"))));

    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 3u);
    const auto serial = static_cast<std::uint32_t>(form->Identity().serialNumber);
    EXPECT_NE(serial, 0u);
    for (const auto& r : requests)
        EXPECT_EQ(ReadLe32(r.data() + 5), serial);
    EXPECT_EQ(plendoro::ReadNameField(requests[0].data() + 10), "KVTW-0.0");
    EXPECT_EQ(plendoro::ReadNameField(requests[1].data() + 10), "KVTW-4.3");
}

TEST_F(FirmwareWindow, ClosingDuringASlowCheckClosesTheWindow)
{
    LoopbackUpdateServer silent([](const UBytes&) { return std::vector<UBytes>{}; });
    WriteSettings(silent.Port());
    service = true;
    Start(403, false);
    form->Editor().FieldAs<QAbstractButton>(QStringLiteral("btCheckFW"))->click();
    ASSERT_TRUE(form->Firmware().Running());
    EXPECT_TRUE(form->close());
    EXPECT_FALSE(form->isVisible());
    EXPECT_FALSE(form->Firmware().Running());
}
