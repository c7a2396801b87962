#include "UpdateServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>

namespace plsim {
namespace {

constexpr std::size_t kHeader = 10; // '+', length, serial, code
constexpr std::size_t kName = 16;
constexpr std::uint32_t kLongestRequest = 64;

std::uint32_t Le32(const std::uint8_t* p)
{
    return p[0] | p[1] << 8 | p[2] << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}
void PutLe32(std::uint8_t* p, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

std::vector<std::uint8_t> Frame(std::uint8_t code, std::uint32_t serial, const std::string& name,
                                const std::vector<std::uint8_t>& rest)
{
    const auto length = static_cast<std::uint32_t>(kName + rest.size());
    std::vector<std::uint8_t> f(kHeader + length + 3, 0);
    f[0] = '+';
    PutLe32(&f[1], length);
    PutLe32(&f[5], serial);
    f[9] = code;
    std::memcpy(&f[kHeader], name.data(), std::min(name.size(), kName - 1));
    std::copy(rest.begin(), rest.end(), f.begin() + kHeader + kName);
    f[kHeader + length] = Crc8Dallas(f.data(), kHeader + length);
    f[kHeader + length + 1] = '\r';
    f[kHeader + length + 2] = '\n';
    return f;
}

// Waits for the socket to be readable in short steps, so Stop is heard.
bool Readable(int fd, const std::atomic<bool>& stop)
{
    for (int step = 0; step < 300 && !stop; ++step) {
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, 100) > 0) return true;
    }
    return false;
}

bool ReadAll(int fd, std::uint8_t* into, std::size_t count, const std::atomic<bool>& stop)
{
    while (count > 0) {
        if (!Readable(fd, stop)) return false;
        const ssize_t n = recv(fd, into, count, 0);
        if (n <= 0) return false;
        into += n;
        count -= static_cast<std::size_t>(n);
    }
    return true;
}

} // namespace

std::uint8_t Crc8Dallas(const std::uint8_t* bytes, std::size_t count)
{
    std::uint8_t crc = 0;
    for (std::size_t i = 0; i < count; ++i) {
        crc ^= bytes[i];
        for (int b = 0; b < 8; ++b) crc = (crc & 1) ? (crc >> 1) ^ 0x8C : crc >> 1;
    }
    return crc;
}

std::uint32_t LoaderCrc32(const std::uint8_t* bytes, std::size_t count)
{
    std::uint32_t crc = 0;
    for (std::size_t i = 0; i < count; ++i) {
        crc ^= bytes[i];
        for (int b = 0; b < 8; ++b) crc = (crc & 1) ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
    }
    return crc;
}

FirmwareImage DemoImage()
{
    FirmwareImage image{"KVTW-4.05", 1717243200, std::vector<std::uint8_t>(48 * 1024)};
    std::uint32_t x = 0x4B565457; // "KVTW"
    for (auto& b : image.bytes) {
        x = x * 1664525u + 1013904223u;
        b = static_cast<std::uint8_t>(x >> 24);
    }
    return image;
}

std::vector<std::uint8_t> Answer(const FirmwareImage& image, const std::vector<std::uint8_t>& request)
{
    if (request.size() < kHeader + kName + 3 || request[0] != '+') return {};
    const std::uint32_t length = Le32(&request[1]);
    if (length < kName || request.size() != kHeader + length + 3) return {};
    if (Crc8Dallas(request.data(), kHeader + length) != request[kHeader + length]) return {};
    if (request[kHeader + length + 1] != '\r' || request[kHeader + length + 2] != '\n') return {};
    const std::uint32_t serial = Le32(&request[5]);
    // Only this tracker's images: the version text names its device code.
    const std::string asked(reinterpret_cast<const char*>(&request[kHeader]),
                            strnlen(reinterpret_cast<const char*>(&request[kHeader]), kName));
    const std::string code = image.version.substr(0, image.version.find('-'));
    if (asked.compare(0, code.size() + 1, code + "-") != 0) return {};
    const auto size = static_cast<std::uint32_t>(image.bytes.size());
    if (request[9] == 0 && length == kName) {
        std::vector<std::uint8_t> rest(12, 0);
        PutLe32(&rest[0], size);
        PutLe32(&rest[8], image.buildTime);
        return Frame(2, serial, image.version, rest);
    }
    if (request[9] == 4 && length == kName + 8) {
        // The whole image from its start: the one download the program makes.
        if (Le32(&request[kHeader + kName]) != 0 || Le32(&request[kHeader + kName + 4]) != size) return {};
        std::vector<std::uint8_t> rest(8, 0);
        rest.insert(rest.end(), image.bytes.begin(), image.bytes.end());
        rest.resize(rest.size() + 4);
        PutLe32(&rest[rest.size() - 4], LoaderCrc32(image.bytes.data(), image.bytes.size()));
        return Frame(6, serial, image.version, rest);
    }
    return {};
}

bool UpdateServer::Listen(std::uint16_t port)
{
    listen_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listen_ < 0) return false;
    const int on = 1;
    setsockopt(listen_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    // Never anything but loopback: this is a bench toy.
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    if (bind(listen_, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || listen(listen_, 4) != 0 ||
        getsockname(listen_, reinterpret_cast<sockaddr*>(&a), &len) != 0)
        return false;
    port_ = ntohs(a.sin_port);
    return true;
}

void UpdateServer::Serve()
{
    while (!stop_) {
        pollfd p{listen_, POLLIN, 0};
        if (poll(&p, 1, 100) <= 0) continue;
        const int fd = accept4(listen_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) continue;
        ServeClient(fd);
        close(fd);
    }
}

void UpdateServer::ServeClient(int fd)
{
    for (;;) {
        std::vector<std::uint8_t> request(kHeader);
        if (!ReadAll(fd, request.data(), kHeader, stop_)) return;
        const std::uint32_t length = Le32(&request[1]);
        if (request[0] != '+' || length > kLongestRequest) return;
        request.resize(kHeader + length + 3);
        if (!ReadAll(fd, request.data() + kHeader, length + 3, stop_)) return;
        ++requests_;
        const std::vector<std::uint8_t> reply = Answer(image_, request);
        if (reply.empty()) return;
        for (std::size_t sent = 0; sent < reply.size();) {
            const ssize_t n = send(fd, reply.data() + sent, reply.size() - sent, MSG_NOSIGNAL);
            if (n <= 0) return;
            sent += static_cast<std::size_t>(n);
        }
    }
}

void UpdateServer::Stop()
{
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    if (listen_ >= 0) close(listen_);
    listen_ = -1;
}

} // namespace plsim
