// The simulated world's update server against the program's own update
// client: the check and the download a technician tries in the demo.
#include "UpdateServer.h"
#include "firmware/core/FirmwareFile.h"
#include "firmware/core/UpdateClient.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace plendoro {
namespace {

struct SimUpdateServerFixture : ::testing::Test {
    plsim::UpdateServer server{plsim::DemoImage()};
    std::string folder;

    void SetUp() override
    {
        ASSERT_TRUE(server.Listen(0));
        server.Start();
        char name[] = "/tmp/plendoro-updsrv-XXXXXX";
        ASSERT_NE(mkdtemp(name), nullptr);
        folder = name;
    }
    void TearDown() override
    {
        server.Stop();
        std::remove((folder + "/firmware.eraw").c_str());
        rmdir(folder.c_str());
    }
    std::vector<std::string> Run(UpdateMode mode, const std::string& versionText)
    {
        std::vector<std::string> shown;
        UpdateClient client;
        client.serial = 5000;
        client.versionText = versionText;
        client.waitBound = std::chrono::milliseconds(3000);
        RunUpdate(client, mode, "127.0.0.1", server.Port(), folder + "/firmware.eraw",
                  {[&](const std::string& s) { shown.push_back(s); }, [&] { shown.push_back("enabled"); }});
        return shown;
    }
};

TEST_F(SimUpdateServerFixture, AnswersTheProgramsCheckAndDownload)
{
    struct Case {
        UpdateMode mode;
        const char* versionText;
        std::vector<std::string> shown;
    } cases[] = {
        {UpdateMode::Check,
         "KVTW-4.03",
         {"Подключение к серверу\r\nобновлений...", "Подключение произведено",
          "Версия прошивки на сервере:\r\nKVTW-4.05", "enabled"}},
        {UpdateMode::Download,
         "KVTW-4.03",
         {"Подключение к серверу\r\nобновлений...", "Подключение произведено,\r\nзагрузка обновления...",
          "Обновление загружено", "enabled"}},
        // Another device's firmware is not served.
        {UpdateMode::Check,
         "KVXX-1.00",
         {"Подключение к серверу\r\nобновлений...", "Подключение произведено", "Прошивка не найдена на сервере"}},
        {UpdateMode::Download,
         "KVXX-1.00",
         {"Подключение к серверу\r\nобновлений...", "Подключение произведено,\r\nзагрузка обновления...",
          "Ошибка загрузки обновления"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Run(c.mode, c.versionText), c.shown) << c.versionText;
}

TEST_F(SimUpdateServerFixture, TheDownloadedFileHoldsTheServedImage)
{
    Run(UpdateMode::Download, "KVTW-4.03");
    std::ifstream in(folder + "/firmware.eraw", std::ios::binary);
    const std::vector<std::uint8_t> file{std::istreambuf_iterator<char>(in), {}};
    FirmwareFileInfo info;
    ASSERT_TRUE(ReadFirmwareFile(file.data(), file.size(), info));
    EXPECT_EQ(info.name, "KVTW");
    EXPECT_EQ(info.major, 4);
    EXPECT_EQ(info.minor, 5);
    const std::vector<std::uint8_t>& image = plsim::DemoImage().bytes;
    ASSERT_GE(file.size(), image.size());
    EXPECT_TRUE(std::equal(image.begin(), image.end(), file.end() - static_cast<std::ptrdiff_t>(image.size())));
    DiskFirmware disk{"KVTW"};
    EXPECT_TRUE(ValidateFirmwareFile(disk, file.data(), file.size()));
}

// Requests the program never sends: a broken frame ends the connection
// instead of being answered.
TEST_F(SimUpdateServerFixture, BrokenRequestsGetNoAnswer)
{
    const plsim::FirmwareImage image = plsim::DemoImage();
    std::vector<std::uint8_t> good = BuildVersionQuery(7, "KVTW-4.03");
    ASSERT_FALSE(plsim::Answer(image, good).empty());
    struct Case {
        const char* what;
        std::size_t at;
        std::uint8_t value;
    } cases[] = {
        {"start mark", 0, '-'}, {"length", 1, 17}, {"command", 9, 1}, {"crc", 26, 0}, {"line end", 28, '\r'},
    };
    for (const Case& c : cases) {
        std::vector<std::uint8_t> bad = good;
        bad[c.at] = c.value == bad[c.at] ? static_cast<std::uint8_t>(c.value + 1) : c.value;
        EXPECT_TRUE(plsim::Answer(image, bad).empty()) << c.what;
    }
    EXPECT_TRUE(plsim::Answer(image, BuildImageRequest(7, "KVTW-4.03", 1000)).empty()) << "a part of the image";
    EXPECT_FALSE(plsim::Answer(image, BuildImageRequest(7, "KVTW-4.03", 48 * 1024)).empty());
}

} // namespace
} // namespace plendoro
