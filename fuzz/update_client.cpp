// The update client collecting the server's replies from a socket: the
// version reply and, for a download, the image reply, in whatever pieces
// and lengths the server sends, until it closes its end. Input: one byte
// (bit 0: a download), then the bytes the server sends. The client's serial
// number is the one the version reply carries, as a server's would be.
#include "common/Bytes.h"
#include "firmware/core/FirmwareFile.h"
#include "firmware/core/UpdateClient.h"
#include "firmware/core/UpdateProtocol.h"

#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

using namespace plendoro;

namespace {

// One scratch folder for the run, gone again when the run ends.
struct Scratch {
    Scratch()
    {
        char pattern[] = "/tmp/plendoro-fuzz-update-XXXXXX";
        if (!mkdtemp(pattern))
            std::abort();
        path = std::string(pattern) + "/";
    }
    ~Scratch()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    std::string path;
};

std::string Folder()
{
    static const Scratch scratch;
    return scratch.path;
}

void SendAll(int fd, const std::uint8_t* bytes, std::size_t size)
{
    while (size > 0) {
        const ssize_t n = send(fd, bytes, size, MSG_NOSIGNAL);
        if (n <= 0)
            std::abort(); // the socket pair holds far more than any input
        bytes += n;
        size -= static_cast<std::size_t>(n);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return 0;
    const bool download = data[0] & 1;
    const std::uint8_t* reply = data + 1;
    const std::size_t length = size - 1;

    int pair[2];
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pair) != 0)
        std::abort();
    int buffer = 1 << 20;
    setsockopt(pair[1], SOL_SOCKET, SO_SNDBUF, &buffer, sizeof buffer);
    SendAll(pair[1], reply, length);
    shutdown(pair[1], SHUT_WR); // the server has said all it will

    UpdateClient client;
    client.serial = length >= 9 ? ReadLe32(reply + 5) : 0;
    client.versionText = "KVTW-0.0";
    client.waitBound = std::chrono::milliseconds(200);
    client.overallBound = std::chrono::milliseconds(1000);
    client.Adopt(pair[0]);
    const std::string path = Folder() + kDownloadedFirmwareName;
    unlink(path.c_str());

    if (client.QueryVersion()) {
        // Taken only when the first 41 bytes are a sound version reply.
        if (length < kVersionReplySize || !ParseVersionReply(reply, kVersionReplySize, client.serial) ||
            client.imageLength > kMaxImageLength)
            std::abort();
        if (download && client.DownloadImage(path)) {
            const std::size_t whole = kVersionReplySize + client.imageLength + kImageReplyOverhead;
            if (length < whole)
                std::abort();
            std::vector<std::uint8_t> file;
            FILE* f = std::fopen(path.c_str(), "rb");
            if (!f)
                std::abort();
            std::uint8_t chunk[4096];
            std::size_t n = 0;
            while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0)
                file.insert(file.end(), chunk, chunk + n);
            std::fclose(f);
            FirmwareFileInfo info;
            if (!ReadFirmwareFile(file.data(), file.size(), info) || info.name != "KVTW" ||
                info.major != client.serverMajor || info.minor != client.serverMinor)
                std::abort();
        }
    }
    client.CloseConnection();
    close(pair[1]);
    return 0;
}
