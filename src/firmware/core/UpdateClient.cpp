#include "firmware/core/UpdateClient.h"

#include "firmware/core/FirmwareFile.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace plendoro {

UpdateClient::UpdateClient()
{
    if (pipe2(wake_, O_CLOEXEC | O_NONBLOCK) != 0)
        wake_[0] = wake_[1] = -1;
}

UpdateClient::~UpdateClient()
{
    CloseConnection();
    for (int fd : wake_)
        if (fd >= 0)
            close(fd);
}

void UpdateClient::Abort()
{
    aborted_ = true;
    if (wake_[1] >= 0) {
        const char b = 1;
        [[maybe_unused]] auto n = write(wake_[1], &b, 1);
    }
}

UpdateClient::Wait UpdateClient::WaitFor(bool forWriting)
{
    if (aborted_)
        return Wait::Failed;
    using namespace std::chrono;
    const auto left = ceil<milliseconds>(deadline_ - steady_clock::now());
    if (left.count() <= 0) {
        outOfTime_ = true;
        return Wait::TimedOut;
    }
    const milliseconds bound = std::min(waitBound, left);
    pollfd fds[2] = {{socket_, static_cast<short>(forWriting ? POLLOUT : POLLIN), 0}, {wake_[0], POLLIN, 0}};
    const int count = wake_[0] >= 0 ? 2 : 1;
    int r;
    do
        r = poll(fds, count, static_cast<int>(bound.count()));
    while (r < 0 && errno == EINTR);
    if (r == 0) {
        outOfTime_ = steady_clock::now() >= deadline_;
        return Wait::TimedOut;
    }
    if (r < 0 || aborted_ || (count == 2 && fds[1].revents))
        return Wait::Failed;
    // An error or hang-up still lets recv report what remains.
    return Wait::Ready;
}

bool UpdateClient::Connect(const std::string& address, std::uint16_t port)
{
    CloseConnection();
    deadline_ = std::chrono::steady_clock::now() + overallBound;
    outOfTime_ = false;
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(port);
    if (inet_pton(AF_INET, address.c_str(), &to.sin_addr) != 1)
        return false;
    socket_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (socket_ < 0)
        return false;
    if (connect(socket_, reinterpret_cast<const sockaddr*>(&to), sizeof to) == 0)
        return true;
    if (errno != EINPROGRESS || WaitFor(true) != Wait::Ready)
        return false;
    int error = 0;
    socklen_t length = sizeof error;
    return getsockopt(socket_, SOL_SOCKET, SO_ERROR, &error, &length) == 0 && error == 0;
}

void UpdateClient::Adopt(int socket)
{
    CloseConnection();
    deadline_ = std::chrono::steady_clock::now() + overallBound;
    outOfTime_ = false;
    socket_ = socket;
    fcntl(socket_, F_SETFL, fcntl(socket_, F_GETFL) | O_NONBLOCK);
}

void UpdateClient::CloseConnection()
{
    if (socket_ >= 0)
        close(socket_);
    socket_ = -1;
}

bool UpdateClient::SendAll(const std::vector<std::uint8_t>& bytes)
{
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = send(socket_, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n > 0) {
            sent += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) && WaitFor(true) == Wait::Ready)
            continue;
        return false;
    }
    return true;
}

bool UpdateClient::ReceiveAll(std::uint8_t* buffer, std::size_t count)
{
    std::size_t got = 0;
    while (got < count) {
        if (WaitFor(false) != Wait::Ready)
            return false;
        const ssize_t n = recv(socket_, buffer + got, count - got, 0);
        if (n > 0)
            got += static_cast<std::size_t>(n);
        else if (n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR))
            return false;
    }
    return true;
}

bool UpdateClient::QueryVersion()
{
    if (socket_ < 0 || !SendAll(BuildVersionQuery(serial, versionText)))
        return false;
    std::uint8_t reply[kVersionReplySize];
    if (!ReceiveAll(reply, sizeof reply))
        return false;
    const auto version = ParseVersionReply(reply, sizeof reply, serial);
    if (!version)
        return false;
    serverName = version->name;
    // Without a "-" the name carries no version and the numbers stay.
    if (ReadNameField(reply + 10).find('-') != std::string::npos) {
        serverMajor = version->major;
        serverMinor = version->minor;
    }
    versionText = FormatVersionText(serverName, serverMajor, serverMinor);
    imageLength = version->imageLength;
    buildTime = version->buildTime;
    deadline_ += std::chrono::milliseconds(std::uint64_t{imageLength} * 1000 / kUpdateSlowestBytesPerSecond);
    return true;
}

bool UpdateClient::DownloadImage(const std::string& path)
{
    if (socket_ < 0 || imageLength > kMaxImageLength || !SendAll(BuildImageRequest(serial, versionText, imageLength)))
        return false;
    std::vector<std::uint8_t> reply(imageLength + kImageReplyOverhead);
    if (!ReceiveAll(reply.data(), reply.size()) ||
        !CheckImageReply(reply.data(), reply.size(), imageLength, serverMajor, serverMinor))
        return false;
    return WriteFirmwareFile(path,
                             BuildFirmwareFile(serverMajor, serverMinor, buildTime, reply.data() + 34, imageLength));
}

void RunUpdate(UpdateClient& client, UpdateMode mode, const std::string& address, std::uint16_t port,
               const std::string& firmwarePath, const UpdateReport& report)
{
    const auto show = [&](const char* text) {
        if (report.status)
            report.status(text);
    };
    const auto enable = [&] {
        if (report.enableButtons)
            report.enableButtons();
    };
    show("Подключение к серверу\r\nобновлений...");
    if (!client.Connect(address, port)) {
        client.CloseConnection();
        show("Ошибка подключения к\r\nсерверу обновлений");
        return;
    }
    if (mode == UpdateMode::Check) {
        show("Подключение произведено");
        if (client.QueryVersion()) {
            char numbers[32];
            std::snprintf(numbers, sizeof numbers, "-%d.%02d", client.serverMajor, client.serverMinor);
            show(("Версия прошивки на сервере:\r\n" + client.serverName + numbers).c_str());
            enable();
        } else {
            show("Прошивка не найдена на сервере");
        }
    } else {
        show("Подключение произведено,\r\nзагрузка обновления...");
        // A version query that fails, is refused or runs out of time fails
        // the download too.
        if (client.QueryVersion() && client.DownloadImage(firmwarePath)) {
            show("Обновление загружено");
            enable();
        } else {
            show("Ошибка загрузки обновления");
        }
    }
    client.CloseConnection();
}

} // namespace plendoro
