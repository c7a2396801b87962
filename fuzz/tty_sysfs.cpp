// The kernel-driver library's readers of sysfs and /proc, over a tree the
// input lays out: the USB serial ports with their devices' attributes, the
// /dev nodes, and processes with their names and open descriptors. Input:
// the number of ports, then for each a flag byte (bits 0-3 its ttyUSB
// number, 4 its folder gone, 5 no USB device above it, 6 two folders more
// between port and device, 7 a link that points at itself) and the product,
// serial, vendor and product id texts as chunks (FuzzSupport.h); then the
// number of processes, for each its pid and name as chunks and a byte
// choosing what its descriptor points at.
#include "Diagnose.h"
#include "FuzzSupport.h"
#include "Sysfs.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

using namespace plendoro;
using namespace plendoro::ttyusb;
namespace fs = std::filesystem;

namespace {

std::string Text(std::span<const std::uint8_t> bytes)
{
    return std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

// A file name from any bytes: no separator, no NUL, not "." or "..".
std::string Name(std::span<const std::uint8_t> bytes)
{
    std::string name = Text(bytes).substr(0, 32);
    for (char& c : name)
        if (c == '/' || c == '\0')
            c = '_';
    return name.empty() || name == "." || name == ".." ? "x" + name : name;
}

void Put(const fs::path& file, const std::string& text)
{
    std::ofstream(file, std::ios::binary) << text;
}

// One scratch folder for the run, gone again when the run ends.
struct Scratch {
    Scratch()
    {
        const char* shm = "/dev/shm";
        std::string pattern = std::string(access(shm, W_OK) == 0 ? shm : "/tmp") + "/plendoro-fuzz-tty-XXXXXX";
        if (!mkdtemp(pattern.data()))
            std::abort();
        path = pattern;
    }
    ~Scratch()
    {
        std::error_code ignored;
        fs::remove_all(path, ignored);
    }
    fs::path path;
};

fs::path Root()
{
    static const Scratch scratch;
    return scratch.path;
}

bool HasLineBreak(const std::string& s)
{
    return s.find('\n') != std::string::npos;
}

void Check(const TtyPort& port)
{
    if (port.name != "ttyUSB" + std::to_string(port.number) || HasLineBreak(port.description) ||
        HasLineBreak(port.serial))
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::Input input(data, size);
    const fs::path root = Root();
    const fs::path sys = root / "sys", bus = sys / "bus/usb-serial/devices", dev = root / "dev", proc = root / "proc";
    fs::create_directories(bus);
    fs::create_directories(dev);
    fs::create_directories(proc);

    const int ports = input.Byte() % 8;
    for (int i = 0; i < ports; ++i) {
        const std::uint8_t flags = input.Byte();
        const unsigned n = flags & 0x0F;
        const std::string product = Text(input.Chunk()), serial = Text(input.Chunk());
        const std::string vendorId = Text(input.Chunk()), productId = Text(input.Chunk());
        const std::string name = "ttyUSB" + std::to_string(n);
        const fs::path usb = sys / "devices/usb1" / ("1-" + std::to_string(n));
        fs::path port = usb / ("1-" + std::to_string(n) + ":1.0");
        if (flags & 0x40)
            port /= "a/b";
        port /= name;
        std::error_code ec;
        if (flags & 0x80)
            fs::create_symlink(bus / name, bus / name, ec);
        else
            fs::create_symlink(port, bus / name, ec);
        Put(dev / name, "");
        if (flags & 0x10)
            continue;
        fs::create_directories(port, ec);
        if (!(flags & 0x20))
            Put(usb / "idVendor", vendorId);
        Put(usb / "idProduct", productId);
        Put(usb / "product", product);
        Put(usb / "serial", serial);
    }
    const int processes = input.Byte() % 6;
    for (int i = 0; i < processes; ++i) {
        const fs::path process = proc / Name(input.Chunk());
        const std::string comm = Text(input.Chunk());
        const std::uint8_t target = input.Byte();
        std::error_code ec;
        fs::create_directories(process / "fd", ec);
        Put(process / "comm", comm);
        const fs::path points = target & 1 ? dev / ("ttyUSB" + std::to_string(target >> 4)) : root / "elsewhere";
        fs::create_symlink(points, process / "fd" / std::to_string(i), ec);
    }

    const std::vector<TtyPort> listed = ListPorts(sys.string());
    for (std::size_t i = 0; i < listed.size(); ++i) {
        Check(listed[i]);
        if (i > 0 && listed[i - 1].number >= listed[i].number)
            std::abort();
        // Read again by its name, the same tree gives the same port.
        TtyPort again;
        if (!ReadPort(sys.string(), listed[i].name, again) || again.description != listed[i].description ||
            again.serial != listed[i].serial || again.vendorId != listed[i].vendorId ||
            again.productId != listed[i].productId)
            std::abort();
    }
    for (unsigned n = 0; n < 16; n += 5) {
        const std::string node = (dev / ("ttyUSB" + std::to_string(n))).string();
        const Diagnosis d = DiagnoseOpenFailure(EBUSY, node, proc.string());
        if (d.code != kHeldByAnother || HasLineBreak(d.holder) ||
            (!d.holder.empty() && (d.holder.back() == ' ' || d.holder.back() == '\t')))
            std::abort();
    }
    fs::remove_all(sys);
    fs::remove_all(dev);
    fs::remove_all(proc);
    return 0;
}
