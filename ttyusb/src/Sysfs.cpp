#include "Sysfs.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <dirent.h>
#include <filesystem>
#include <fstream>

namespace plendoro::ttyusb {

namespace fs = std::filesystem;

namespace {

std::string FromEnv(const char* name, const char* fallback)
{
    const char* value = std::getenv(name);
    return value && *value ? value : fallback;
}

// "ttyUSB12" -> 12; false for any other name.
bool PortNumber(const std::string& name, unsigned& number)
{
    static const std::string kPrefix = "ttyUSB";
    if (name.size() <= kPrefix.size() || name.compare(0, kPrefix.size(), kPrefix) != 0)
        return false;
    const char* first = name.data() + kPrefix.size();
    const char* last = name.data() + name.size();
    const auto [end, error] = std::from_chars(first, last, number);
    return error == std::errc() && end == last;
}

std::uint16_t HexAttribute(const fs::path& file)
{
    const std::string text = ReadAttribute(file.string());
    unsigned value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value, 16);
    return static_cast<std::uint16_t>(value);
}

// The port's folder lies below the USB interface, which lies below the USB
// device: the first folder upwards that has an idVendor.
bool FindUsbDevice(const fs::path& portLink, fs::path& usbDevice)
{
    std::error_code ec;
    fs::path p = fs::canonical(portLink, ec);
    if (ec)
        return false; // unplugged while we looked
    for (int depth = 0; depth < 8 && p.has_relative_path(); ++depth) {
        p = p.parent_path();
        if (fs::exists(p / "idVendor", ec)) {
            usbDevice = p;
            return true;
        }
    }
    return false;
}

} // namespace

std::string SysfsRoot()
{
    return FromEnv("PLENDORO_TTY_SYSFS", "/sys");
}

std::string DevRoot()
{
    return FromEnv("PLENDORO_TTY_DEV", "/dev");
}

std::string ProcRoot()
{
    return FromEnv("PLENDORO_TTY_PROC", "/proc");
}

std::string ReadAttribute(const std::string& path)
{
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
        line.pop_back();
    return line;
}

std::vector<std::string> FolderEntries(const std::string& folder)
{
    std::vector<std::string> names;
    DIR* dir = opendir(folder.c_str());
    if (!dir)
        return names;
    while (const dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..")
            names.push_back(name);
    }
    closedir(dir);
    return names;
}

bool ReadPort(const std::string& sysfsRoot, const std::string& name, TtyPort& port)
{
    port = TtyPort{};
    port.name = name;
    fs::path usb;
    if (!PortNumber(port.name, port.number) || !FindUsbDevice(sysfsRoot + "/bus/usb-serial/devices/" + name, usb))
        return false;
    port.description = ReadAttribute((usb / "product").string());
    port.serial = ReadAttribute((usb / "serial").string());
    port.vendorId = HexAttribute(usb / "idVendor");
    port.productId = HexAttribute(usb / "idProduct");
    return true;
}

std::vector<TtyPort> ListPorts(const std::string& sysfsRoot)
{
    std::vector<TtyPort> ports;
    for (const std::string& name : FolderEntries(sysfsRoot + "/bus/usb-serial/devices/")) {
        TtyPort port;
        if (ReadPort(sysfsRoot, name, port))
            ports.push_back(std::move(port));
    }
    std::sort(ports.begin(), ports.end(), [](const TtyPort& a, const TtyPort& b) { return a.number < b.number; });
    return ports;
}

} // namespace plendoro::ttyusb
