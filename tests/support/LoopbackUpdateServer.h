#pragma once
// An update server on 127.0.0.1 for the firmware tests: it answers each
// request frame it reads with the pieces a test's handler returns, records
// the requests, and stops by itself when the test ends or after a bounded
// time. It never addresses anything but loopback.
#include "common/Bytes.h"
#include "firmware/core/UpdateProtocol.h"

#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <functional>
#include <mutex>
#include <netinet/in.h>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace plendoro::test {

using Bytes = std::vector<std::uint8_t>;

// A frame as the server sends it: name field, the payload after it, CRC-8
// and CR LF.
inline Bytes ServerFrame(std::uint8_t code, std::uint32_t serial, const std::string& name, const Bytes& rest)
{
    const std::uint32_t length = static_cast<std::uint32_t>(16 + rest.size());
    Bytes f(13 + length, 0);
    f[0] = '+';
    WriteLe32(f.data() + 1, length);
    WriteLe32(f.data() + 5, serial);
    f[9] = code;
    std::memcpy(f.data() + 10, name.data(), std::min<std::size_t>(name.size(), 16));
    std::copy(rest.begin(), rest.end(), f.begin() + 26);
    f[10 + length] = Crc8Maxim(f.data(), 10 + length);
    f[11 + length] = '\r';
    f[12 + length] = '\n';
    return f;
}

inline Bytes VersionReply(std::uint32_t serial, const std::string& name, std::uint32_t imageLength,
                          std::uint32_t buildTime)
{
    Bytes rest(12, 0);
    WriteLe32(rest.data(), imageLength);
    WriteLe32(rest.data() + 4, 0x12345678); // not used by the client
    WriteLe32(rest.data() + 8, buildTime);
    return ServerFrame(2, serial, name, rest);
}

inline Bytes ImageReply(std::uint32_t serial, const std::string& name, const Bytes& image, std::uint32_t crcDelta = 0)
{
    Bytes rest(8 + image.size() + 4, 0xEE);
    std::copy(image.begin(), image.end(), rest.begin() + 8);
    WriteLe32(rest.data() + 8 + image.size(), ImageCrc32(image.data(), image.size()) ^ crcDelta);
    return ServerFrame(6, serial, name, rest);
}

class LoopbackUpdateServer {
public:
    // The pieces to send for one request; none sends nothing and keeps the
    // connection open until the client leaves.
    using Handler = std::function<std::vector<Bytes>(const Bytes& request)>;

    explicit LoopbackUpdateServer(Handler handler) : handler_(std::move(handler))
    {
        listen_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof a;
        if (bind(listen_, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 && listen(listen_, 4) == 0 &&
            getsockname(listen_, reinterpret_cast<sockaddr*>(&a), &len) == 0)
            port_ = ntohs(a.sin_port);
        thread_ = std::thread([this] { Serve(); });
    }
    ~LoopbackUpdateServer()
    {
        stop_ = true;
        thread_.join();
        close(listen_);
    }

    std::uint16_t Port() const { return port_; }
    std::vector<Bytes> Requests()
    {
        std::lock_guard lock(mutex_);
        return requests_;
    }
    int Connections() const { return connections_; }

    // A port nothing listens on: bound, then closed again.
    static std::uint16_t ClosedPort()
    {
        int s = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof a;
        bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a);
        getsockname(s, reinterpret_cast<sockaddr*>(&a), &len);
        close(s);
        return ntohs(a.sin_port);
    }

private:
    // Polls in short steps so the end of the test stops it; gives up on its
    // own after a bound far above any test's need.
    bool Readable(int fd)
    {
        for (int step = 0; step < 1000 && !stop_; ++step) {
            pollfd p{fd, POLLIN, 0};
            if (poll(&p, 1, 20) > 0)
                return true;
        }
        return false;
    }
    bool ReadExactly(int fd, std::uint8_t* into, std::size_t count)
    {
        std::size_t got = 0;
        while (got < count) {
            if (!Readable(fd))
                return false;
            const ssize_t n = recv(fd, into + got, count - got, 0);
            if (n <= 0)
                return false;
            got += static_cast<std::size_t>(n);
        }
        return true;
    }
    void Serve()
    {
        while (!stop_ && Readable(listen_)) {
            const int fd = accept4(listen_, nullptr, nullptr, SOCK_CLOEXEC);
            if (fd < 0)
                continue;
            ++connections_;
            Bytes request(10);
            while (ReadExactly(fd, request.data(), 10)) {
                const std::uint32_t length = ReadLe32(request.data() + 1);
                if (length > 64)
                    break;
                request.resize(13 + length);
                if (!ReadExactly(fd, request.data() + 10, length + 3))
                    break;
                {
                    std::lock_guard lock(mutex_);
                    requests_.push_back(request);
                }
                const auto pieces = handler_(request);
                for (std::size_t i = 0; i < pieces.size(); ++i) {
                    if (i > 0) // give the client a chance to see the pieces apart
                        std::this_thread::sleep_for(std::chrono::milliseconds(30));
                    send(fd, pieces[i].data(), pieces[i].size(), MSG_NOSIGNAL);
                }
                request.assign(10, 0);
            }
            close(fd);
        }
    }

    Handler handler_;
    int listen_ = -1;
    std::uint16_t port_ = 0;
    std::atomic<bool> stop_{false};
    std::atomic<int> connections_{0};
    std::mutex mutex_;
    std::vector<Bytes> requests_;
    std::thread thread_;
};

} // namespace plendoro::test
