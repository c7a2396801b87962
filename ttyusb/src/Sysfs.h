#pragma once
// The kernel's view of the FTDI bridges: which /dev/ttyUSB* ports exist and
// which USB device (product string, serial number) each belongs to.
#include <cstdint>
#include <string>
#include <vector>

namespace plendoro::ttyusb {

// The roots are read from the environment at each call, so a test can
// point them at a tree of its own: PLENDORO_TTY_SYSFS (/sys),
// PLENDORO_TTY_DEV (/dev) and PLENDORO_TTY_PROC (/proc).
std::string SysfsRoot();
std::string DevRoot();
std::string ProcRoot();

struct TtyPort {
    std::string name; // "ttyUSB3"
    unsigned number = 0;
    std::string description; // the USB device's product string
    std::string serial;
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
};

// The usb-serial ports in ascending ttyUSB number. A port whose device
// folder is already gone is left out.
std::vector<TtyPort> ListPorts(const std::string& sysfsRoot);

// One port as sysfs shows it now, by its name ("ttyUSB3"); false when no
// USB device holds that name.
bool ReadPort(const std::string& sysfsRoot, const std::string& name, TtyPort& port);

// The names in a folder, without "." and ".."; empty when it cannot be
// read. Never throws, even when the folder goes away while it is read.
std::vector<std::string> FolderEntries(const std::string& folder);

// The first line of a sysfs attribute without its line end; empty when the
// file is missing.
std::string ReadAttribute(const std::string& path);

} // namespace plendoro::ttyusb
