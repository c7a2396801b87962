#include "State.h"

#include "Blocks.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/file.h>
#include <unistd.h>

namespace plsim {

namespace {

constexpr std::size_t kLargestBlock = kLargestPacket - kHeaderSize;
constexpr std::size_t kLongestSerial = 15;

int HexValue(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool ParseLine(const std::string& line, StoredBlocks& state)
{
    std::istringstream in(line);
    std::string serial, block, pair;
    if (!(in >> serial >> block) || !Storable(serial)) return false;
    if (block.empty() || block.size() > 3 || block.find_first_not_of("0123456789") != std::string::npos) return false;
    std::vector<std::uint8_t> bytes;
    while (in >> pair) {
        const int high = pair.size() == 2 ? HexValue(pair[0]) : -1, low = pair.size() == 2 ? HexValue(pair[1]) : -1;
        if (high < 0 || low < 0 || bytes.size() == kLargestBlock) return false;
        bytes.push_back(std::uint8_t(high << 4 | low));
    }
    if (bytes.empty()) return false;
    state[serial][std::stoi(block)] = std::move(bytes);
    return true;
}

// Closes on every way out, which also drops an flock.
struct Fd {
    int fd;
    ~Fd()
    {
        if (fd >= 0) close(fd);
    }
};

bool WriteAll(int fd, const std::string& text)
{
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += std::size_t(n);
    }
    return true;
}

} // namespace

bool Storable(const std::string& serial)
{
    if (serial.empty() || serial.size() > kLongestSerial || serial[0] == '#') return false;
    for (unsigned char c : serial)
        if (c <= 0x20 || c >= 0x7F) return false;
    return true;
}

bool ParseState(std::string_view text, StoredBlocks& state)
{
    StoredBlocks parsed;
    std::istringstream in{std::string(text)};
    std::string line;
    while (std::getline(in, line)) {
        const std::size_t first = line.find_first_not_of(" \t\r");
        if (first == std::string::npos || line[first] == '#') continue;
        if (!ParseLine(line, parsed)) return false;
    }
    state = std::move(parsed);
    return true;
}

std::string FormatState(const StoredBlocks& state)
{
    static const char kDigits[] = "0123456789ABCDEF";
    std::string text = "# plendoro_sim state: <serial> <block> <stored bytes in hex>\n";
    for (const auto& [serial, blocks] : state) {
        for (const auto& [block, bytes] : blocks) {
            text += serial + " " + std::to_string(block);
            for (std::uint8_t b : bytes) {
                text += ' ';
                text += kDigits[b >> 4];
                text += kDigits[b & 15];
            }
            text += '\n';
        }
    }
    return text;
}

bool ReadState(const std::string& path, StoredBlocks& state)
{
    std::ifstream in(path, std::ios::binary);
    if (!in.is_open()) return false;
    std::ostringstream text;
    text << in.rdbuf();
    if (in.bad()) return false;
    return ParseState(text.str(), state);
}

void ApplyState(const StoredBlocks& state, std::vector<DeviceSetup>& devices)
{
    for (DeviceSetup& d : devices) {
        auto known = state.find(d.serial);
        if (d.foreign || known == state.end()) continue;
        // A file written under another firmware may hold blocks of other sizes.
        for (const auto& [block, bytes] : known->second)
            if (BlockSize(block, d.firmware) == int(bytes.size())) d.blocks[block] = bytes;
    }
}

bool WriteState(const std::string& path, const StoredBlocks& world, std::string& error)
{
    auto fail = [&](const std::string& what, const std::string& file) {
        error = what + " " + file + ": " + std::strerror(errno);
        return false;
    };
    // The state file itself cannot carry the lock: the rename replaces it.
    const std::string lockPath = path + ".lock", tempPath = path + ".tmp";
    Fd lock{open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666)};
    if (lock.fd < 0) return fail("cannot open", lockPath);
    while (flock(lock.fd, LOCK_EX) != 0)
        if (errno != EINTR) return fail("cannot lock", lockPath);

    // Trackers of other scenarios that shared the file keep their entries.
    StoredBlocks merged;
    ReadState(path, merged);
    for (const auto& [serial, blocks] : world) merged[serial] = blocks;

    // A temporary file left by a writer killed earlier is simply reused.
    Fd temp{open(tempPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666)};
    if (temp.fd < 0) return fail("cannot create", tempPath);
    if (!WriteAll(temp.fd, FormatState(merged)) || fsync(temp.fd) != 0) {
        fail("cannot write", tempPath);
        unlink(tempPath.c_str());
        return false;
    }
    if (rename(tempPath.c_str(), path.c_str()) != 0) {
        fail("cannot replace", path);
        unlink(tempPath.c_str());
        return false;
    }
    return true;
}

} // namespace plsim
