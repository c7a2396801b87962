#pragma once
// Which D2XX library the program binds. Two roads lead to the tracker's
// bridge on Linux: the vendor's own library, which needs the bridge taken
// away from the kernel, and ours over the kernel's ftdi_sio driver and its
// /dev/ttyUSB node. When the kernel already holds a tracker, ours is tried
// first; otherwise the vendor's.
#include <string>
#include <vector>

namespace plendoro {

inline constexpr const char* kVendorLibraryFile = "libftd2xx.so";
inline constexpr const char* kKernelDriverLibraryFile = "libplendoro_ttyusb.so";

// True when some USB serial port below `sysfsRoot` is a bridge whose USB
// product string starts with `prefix` and is bound to ftdi_sio.
bool TrackerOnKernelDriver(const std::string& sysfsRoot, const std::string& prefix);

// Where our kernel-driver library may lie: beside the program, then in the
// installed program's private library folder.
std::vector<std::string> KernelDriverLibraryFiles(const std::string& programFolder);

// The files to try, first that binds wins. An explicitly named library is
// the only one tried.
std::vector<std::string> LibraryCandidates(const std::string& explicitFile, bool trackerOnKernelDriver,
                                           const std::vector<std::string>& ownFiles);

// PLENDORO_TTY_SYSFS, else "/sys".
std::string SysfsRoot();

} // namespace plendoro
