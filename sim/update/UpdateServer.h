#pragma once
// The update server of the simulated world: it serves one firmware image to
// the configurator's update check and download on 127.0.0.1. Written from
// the server's side of the exchange, sharing nothing with src/, so that a
// fault in the program's framing is not mirrored here.
//
// Every frame: '+', payload length (LE32), serial number (LE32), command
// code, payload (a 16-byte name field first), CRC-8 (Dallas, over all the
// bytes before it), CR LF. Requests: 0 version query (name = the tracker's
// version text), 4 image request (name, offset LE32, length LE32). Replies:
// 2 version (name, image length, a word nobody reads, build time) and 6
// image (name, 8 bytes nobody reads, the image, its CRC-32).
#include <atomic>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

namespace plsim {

struct FirmwareImage {
    std::string version;         // "KVTW-4.05"
    std::uint32_t buildTime = 0; // seconds since 1970 UTC
    std::vector<std::uint8_t> bytes;
};

// The demo's image: KVTW-4.05, 48 KiB of fixed pseudo-random bytes.
FirmwareImage DemoImage();

std::uint8_t Crc8Dallas(const std::uint8_t* bytes, std::size_t count);
// CRC-32 with the reflected polynomial, started at 0, no final XOR: what
// the tracker's loader checks.
std::uint32_t LoaderCrc32(const std::uint8_t* bytes, std::size_t count);

// The reply to one request frame; empty when the request is broken or
// asks for something this server does not have (then the connection ends).
std::vector<std::uint8_t> Answer(const FirmwareImage& image, const std::vector<std::uint8_t>& request);

class UpdateServer {
public:
    explicit UpdateServer(FirmwareImage image) : image_(std::move(image)) {}
    ~UpdateServer() { Stop(); }
    UpdateServer(const UpdateServer&) = delete;
    UpdateServer& operator=(const UpdateServer&) = delete;

    // Listens on 127.0.0.1:port (0: a free port); false when it cannot.
    bool Listen(std::uint16_t port);
    std::uint16_t Port() const { return port_; }
    // Serves clients one after another until Stop.
    void Serve();
    void Start()
    {
        thread_ = std::thread([this] { Serve(); });
    }
    void Stop();
    int Requests() const { return requests_; }

private:
    void ServeClient(int fd);

    FirmwareImage image_;
    int listen_ = -1;
    std::uint16_t port_ = 0;
    std::atomic<bool> stop_{false};
    std::atomic<int> requests_{0};
    std::thread thread_;
};

} // namespace plsim
