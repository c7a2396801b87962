// The update client against a loopback update server: what each operation
// shows, sends and saves.
#include "firmware/core/UpdateClient.h"
#include "common/Bytes.h"
#include "firmware/core/FirmwareFile.h"
#include "firmware/core/ServerLookup.h"

#include "LoopbackUpdateServer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <future>
#include <iterator>
#include <thread>

using namespace plendoro;
using plendoro::test::Bytes;
using plendoro::test::ImageReply;
using plendoro::test::LoopbackUpdateServer;
using plendoro::test::VersionReply;
namespace fs = std::filesystem;

namespace {

constexpr std::uint32_t kSerial = 40123;
const Bytes kImage = [] {
    Bytes b(5000);
    for (std::size_t i = 0; i < b.size(); ++i)
        b[i] = static_cast<std::uint8_t>(i * 7 + 3);
    return b;
}();

struct Shown {
    std::vector<std::string> statuses;
    int enabled = 0;
};

class UpdateClientTest : public ::testing::Test {
protected:
    UpdateClientTest()
    {
        char tmpl[] = "/tmp/plendoro-upd-XXXXXX";
        base_ = mkdtemp(tmpl);
        fs::create_directory(base_ + "/firmware");
        path_ = base_ + "/firmware/firmware.eraw";
    }
    ~UpdateClientTest() override { fs::remove_all(base_); }

    Shown Operate(UpdateMode mode, std::uint16_t port, const std::string& versionText = "KVTW-0.0",
                  std::chrono::milliseconds waitBound = std::chrono::milliseconds(300),
                  std::chrono::milliseconds overallBound = kUpdateOverallBound)
    {
        UpdateClient client;
        client.serial = kSerial;
        client.versionText = versionText;
        client.waitBound = waitBound;
        client.overallBound = overallBound;
        Shown run;
        UpdateReport report;
        report.status = [&](const std::string& s) { run.statuses.push_back(s); };
        report.enableButtons = [&] { ++run.enabled; };
        RunUpdate(client, mode, "127.0.0.1", port, path_, report);
        return run;
    }
    Bytes Saved() const
    {
        std::ifstream in(path_, std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    std::string base_, path_;
};

// A server holding one firmware: the version reply, then the image.
LoopbackUpdateServer::Handler Serving(const std::string& name, std::uint32_t crcDelta = 0, bool split = false)
{
    return [=](const Bytes& request) -> std::vector<Bytes> {
        const std::uint32_t serial = ReadLe32(request.data() + 5);
        if (request[9] == 0) {
            Bytes reply = VersionReply(serial, name, static_cast<std::uint32_t>(kImage.size()), 0);
            if (split)
                return {Bytes(reply.begin(), reply.begin() + 17), Bytes(reply.begin() + 17, reply.end())};
            return {reply};
        }
        const Bytes reply = ImageReply(serial, name, kImage, crcDelta);
        const std::size_t half = reply.size() / 2;
        return {Bytes(reply.begin(), reply.begin() + half), Bytes(reply.begin() + half, reply.end())};
    };
}

// A reply in `pieces` parts; the server pauses 30 ms between parts.
std::vector<Bytes> Trickled(const Bytes& reply, std::size_t pieces)
{
    std::vector<Bytes> parts;
    for (std::size_t i = 0; i < pieces; ++i)
        parts.emplace_back(reply.begin() + reply.size() * i / pieces, reply.begin() + reply.size() * (i + 1) / pieces);
    return parts;
}

// A server that sends each reply in parts: the version reply in
// `versionPieces`, the image reply, of an image of `imageSize` bytes, in
// `imagePieces`.
LoopbackUpdateServer::Handler Slow(std::size_t versionPieces, std::size_t imageSize, std::size_t imagePieces)
{
    return [=](const Bytes& request) {
        const std::uint32_t serial = ReadLe32(request.data() + 5);
        const Bytes image(imageSize, 0x33);
        if (request[9] == 0)
            return Trickled(VersionReply(serial, "KVTW-3.5", static_cast<std::uint32_t>(imageSize), 0), versionPieces);
        return Trickled(ImageReply(serial, "KVTW-3.5", image), imagePieces);
    };
}

double SecondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

} // namespace

TEST_F(UpdateClientTest, CheckShowsTheServersVersionWithATwoDigitMinor)
{
    LoopbackUpdateServer server(Serving("KVTW-3.5"));
    const Shown run = Operate(UpdateMode::Check, server.Port());
    EXPECT_EQ(run.statuses,
              (std::vector<std::string>{"Подключение к серверу\r\nобновлений...", "Подключение произведено",
                                        "Версия прошивки на сервере:\r\nKVTW-3.05"}));
    EXPECT_EQ(run.enabled, 1);
    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0], BuildVersionQuery(kSerial, "KVTW-0.0"));
    EXPECT_FALSE(fs::exists(path_));
}

TEST_F(UpdateClientTest, VersionReplyInTwoPiecesIsCollected)
{
    LoopbackUpdateServer server(Serving("KVTW-4.1", 0, true));
    const Shown run = Operate(UpdateMode::Check, server.Port());
    ASSERT_EQ(run.statuses.size(), 3u);
    EXPECT_EQ(run.statuses[2], "Версия прошивки на сервере:\r\nKVTW-4.01");
}

TEST_F(UpdateClientTest, NameWithoutDashShowsVersionZero)
{
    LoopbackUpdateServer server(Serving("NAME"));
    const Shown run = Operate(UpdateMode::Check, server.Port());
    ASSERT_EQ(run.statuses.size(), 3u);
    EXPECT_EQ(run.statuses[2], "Версия прошивки на сервере:\r\nNAME-0.00");
}

TEST_F(UpdateClientTest, DownloadSavesTheImageAsKvtwMajorDotMinor)
{
    LoopbackUpdateServer server(Serving("KVTW-3.5"));
    const Shown run = Operate(UpdateMode::Download, server.Port(), "KVTW-3.2");
    EXPECT_EQ(run.statuses,
              (std::vector<std::string>{"Подключение к серверу\r\nобновлений...",
                                        "Подключение произведено,\r\nзагрузка обновления...", "Обновление загружено"}));
    EXPECT_EQ(run.enabled, 1);
    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(ReadNameField(requests[0].data() + 10), "KVTW-3.2");
    EXPECT_EQ(requests[1], BuildImageRequest(kSerial, "KVTW-3.5", static_cast<std::uint32_t>(kImage.size())));

    const Bytes saved = Saved();
    EXPECT_EQ(saved, BuildFirmwareFile(3, 5, 0, kImage.data(), kImage.size()));
    DiskFirmware disk;
    disk.deviceCode = "KVTW";
    const FirmwareScan scan = FindNewestFirmware(disk, base_);
    EXPECT_EQ(scan.text, "KVTW-3.05");
    EXPECT_EQ(scan.path, path_);
    // No temporary file is left beside it.
    EXPECT_EQ(std::distance(fs::directory_iterator(base_ + "/firmware"), fs::directory_iterator()), 1);
}

TEST_F(UpdateClientTest, BadImageCrcOrMissingFolderKeepsWhatWasThere)
{
    const Bytes old = {'o', 'l', 'd'};
    std::ofstream(path_, std::ios::binary).write("old", 3);
    {
        LoopbackUpdateServer server(Serving("KVTW-3.5", 0x100));
        const Shown run = Operate(UpdateMode::Download, server.Port());
        ASSERT_FALSE(run.statuses.empty());
        EXPECT_EQ(run.statuses.back(), "Ошибка загрузки обновления");
        EXPECT_EQ(run.enabled, 0);
        EXPECT_EQ(Saved(), old);
    }
    fs::remove_all(base_ + "/firmware");
    LoopbackUpdateServer server(Serving("KVTW-3.5"));
    const Shown run = Operate(UpdateMode::Download, server.Port());
    EXPECT_EQ(run.statuses.back(), "Ошибка загрузки обновления");
    EXPECT_FALSE(fs::exists(base_ + "/firmware"));
}

TEST_F(UpdateClientTest, OversizedImageFailsTheQueryBeforeAnyImageRequest)
{
    LoopbackUpdateServer server([](const Bytes& request) -> std::vector<Bytes> {
        return {VersionReply(ReadLe32(request.data() + 5), "KVTW-3.5", kMaxImageLength + 1, 0)};
    });
    Shown run = Operate(UpdateMode::Check, server.Port());
    EXPECT_EQ(run.statuses.back(), "Прошивка не найдена на сервере");
    EXPECT_EQ(run.enabled, 0);
    // A download refused at the query fails as a download.
    run = Operate(UpdateMode::Download, server.Port());
    EXPECT_EQ(run.statuses.back(), "Ошибка загрузки обновления");
    EXPECT_EQ(run.enabled, 0);
    EXPECT_EQ(server.Requests().size(), 2u);
    EXPECT_FALSE(fs::exists(path_));
}

TEST_F(UpdateClientTest, SilentServerEndsAtTheBoundAndNoServerFailsToConnect)
{
    LoopbackUpdateServer silent([](const Bytes&) { return std::vector<Bytes>{}; });
    Shown run = Operate(UpdateMode::Check, silent.Port());
    EXPECT_EQ(run.statuses.back(), "Прошивка не найдена на сервере");
    EXPECT_EQ(silent.Requests().size(), 1u);

    run = Operate(UpdateMode::Check, LoopbackUpdateServer::ClosedPort());
    EXPECT_EQ(run.statuses, (std::vector<std::string>{"Подключение к серверу\r\nобновлений...",
                                                      "Ошибка подключения к\r\nсерверу обновлений"}));
}

TEST_F(UpdateClientTest, AbortEndsAWaitAtOnce)
{
    LoopbackUpdateServer silent([](const Bytes&) { return std::vector<Bytes>{}; });
    UpdateClient client;
    client.waitBound = std::chrono::hours(1);
    ASSERT_TRUE(client.Connect("127.0.0.1", silent.Port()));
    client.Abort();
    EXPECT_FALSE(client.QueryVersion());
}

// Every piece arrives well within the wait bound, but the whole operation
// is bounded too: its bound (400 ms here) plus the announced image's length
// at 4 KiB a second. A 40 KiB image earns 10 s, a 5000-byte one 1.2 s.
TEST_F(UpdateClientTest, ATricklingServerEndsAtTheOperationsBound)
{
    using namespace std::chrono_literals;
    struct Case {
        UpdateMode mode;
        std::size_t versionPieces, imageSize, imagePieces;
        const char* last;
        double atMost; // seconds
    };
    const Case cases[] = {
        {UpdateMode::Check, 41, 5000, 1, "Прошивка не найдена на сервере", 1.0},
        {UpdateMode::Download, 41, 5000, 1, "Ошибка загрузки обновления", 1.0},
        {UpdateMode::Download, 1, 5000, 100, "Ошибка загрузки обновления", 2.5},
        {UpdateMode::Download, 1, 40960, 20, "Обновление загружено", 10.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.versionPieces << " " << c.imageSize << " " << c.imagePieces);
        LoopbackUpdateServer server(Slow(c.versionPieces, c.imageSize, c.imagePieces));
        const auto start = std::chrono::steady_clock::now();
        const Shown run = Operate(c.mode, server.Port(), "KVTW-0.0", 300ms, 400ms);
        EXPECT_LT(SecondsSince(start), c.atMost);
        ASSERT_FALSE(run.statuses.empty());
        EXPECT_EQ(run.statuses.back(), c.last);
    }
}

// A server whose queue of connections is full never answers the connect;
// the operation's bound ends it before the longer wait bound would.
TEST_F(UpdateClientTest, AConnectThatNeverCompletesEndsAtTheOperationsBound)
{
    using namespace std::chrono_literals;
    const int listener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
    ASSERT_EQ(listen(listener, 0), 0);
    ASSERT_EQ(getsockname(listener, reinterpret_cast<sockaddr*>(&a), &len), 0);
    std::vector<int> fillers;
    for (int i = 0; i < 2; ++i) {
        fillers.push_back(socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
        connect(fillers.back(), reinterpret_cast<sockaddr*>(&a), sizeof a);
    }
    std::this_thread::sleep_for(50ms);

    const auto start = std::chrono::steady_clock::now();
    const Shown run = Operate(UpdateMode::Check, ntohs(a.sin_port), "KVTW-0.0", 5000ms, 300ms);
    EXPECT_LT(SecondsSince(start), 2.0);
    EXPECT_EQ(run.statuses, (std::vector<std::string>{"Подключение к серверу\r\nобновлений...",
                                                      "Ошибка подключения к\r\nсерверу обновлений"}));
    for (int fd : fillers)
        close(fd);
    close(listener);
}

// The server setting: an address as it is, a name through the resolver,
// anything else never reaches a socket.
TEST(ServerLookupTest, AddressesNamesAndNeither)
{
    std::vector<std::string> asked;
    ServerLookup lookup([&](const std::string& name) -> std::optional<std::string> {
        asked.push_back(name);
        if (name == "update.example.org")
            return "10.1.2.3";
        return std::nullopt;
    });
    const std::pair<const char*, std::optional<std::string>> cases[] = {
        {"10.20.30.40", "10.20.30.40"}, {"update.example.org", "10.1.2.3"}, {"unknown.example.org", std::nullopt},
        {"256.1.1.1", std::nullopt},    {"1..3.4", std::nullopt},           {"::1", std::nullopt},
        {"bad_name.org", std::nullopt}, {"-a.org", std::nullopt},           {"", std::nullopt},
    };
    for (const auto& [server, address] : cases)
        EXPECT_EQ(lookup.Resolve(server, std::chrono::seconds(5)), address) << server;
    EXPECT_EQ(asked, (std::vector<std::string>{"update.example.org", "unknown.example.org"}))
        << "only names are resolved";
}

TEST(ServerLookupTest, AbortDoesNotWaitForASlowNameServer)
{
    auto release = std::make_shared<std::promise<void>>();
    std::shared_future<void> released = release->get_future().share();
    ServerLookup lookup([released](const std::string&) -> std::optional<std::string> {
        released.wait();
        return "10.1.2.3";
    });
    std::thread aborter([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        lookup.Abort();
    });
    EXPECT_EQ(lookup.Resolve("slow.example.org", std::chrono::seconds(60)), std::nullopt);
    aborter.join();
    release->set_value(); // the lookup's own thread ends by itself
}
