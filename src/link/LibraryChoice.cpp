#include "link/LibraryChoice.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace plendoro {

namespace fs = std::filesystem;

namespace {

std::string FirstLine(const fs::path& file)
{
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    return line;
}

// The USB device above a serial port: the first folder upwards with an
// idVendor file, where product and serial live.
std::string ProductOf(const fs::path& port)
{
    std::error_code ec;
    fs::path at = fs::canonical(port, ec);
    if (ec)
        return {};
    for (int depth = 0; depth < 8 && at.has_relative_path(); ++depth, at = at.parent_path()) {
        if (fs::exists(at / "idVendor", ec))
            return FirstLine(at / "product");
    }
    return {};
}

} // namespace

bool TrackerOnKernelDriver(const std::string& sysfsRoot, const std::string& prefix)
{
    std::error_code ec;
    const fs::path ports = fs::path(sysfsRoot) / "bus/usb-serial/devices";
    for (fs::directory_iterator it(ports, ec), end; !ec && it != end; it.increment(ec)) {
        const fs::path driver = fs::read_symlink(it->path() / "driver", ec);
        if (ec) {
            ec.clear();
            continue;
        }
        if (driver.filename() == "ftdi_sio" && ProductOf(it->path()).rfind(prefix, 0) == 0)
            return true;
    }
    return false;
}

std::vector<std::string> KernelDriverLibraryFiles(const std::string& programFolder)
{
    // Named plainly ("/usr/lib/plendoro/...", not "/usr/bin/../lib/..."):
    // About and the byte log show it.
    const fs::path libraryFolder = fs::path(programFolder + PLENDORO_PRIVATE_LIBDIR_FROM_BIN).lexically_normal();
    return {programFolder + kKernelDriverLibraryFile, (libraryFolder / kKernelDriverLibraryFile).string()};
}

std::vector<std::string> LibraryCandidates(const std::string& explicitFile, bool trackerOnKernelDriver,
                                           const std::vector<std::string>& ownFiles)
{
    if (!explicitFile.empty())
        return {explicitFile};
    std::vector<std::string> files;
    if (!trackerOnKernelDriver)
        files.push_back(kVendorLibraryFile);
    files.insert(files.end(), ownFiles.begin(), ownFiles.end());
    if (trackerOnKernelDriver)
        files.push_back(kVendorLibraryFile);
    return files;
}

std::string SysfsRoot()
{
    const char* root = std::getenv("PLENDORO_TTY_SYSFS");
    return root && *root ? root : "/sys";
}

} // namespace plendoro
