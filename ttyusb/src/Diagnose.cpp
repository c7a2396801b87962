#include "Diagnose.h"

#include "Sysfs.h"

#include <cerrno>
#include <filesystem>

namespace plendoro::ttyusb {

namespace fs = std::filesystem;

Diagnosis DiagnoseOpenFailure(int error, const std::string& node, const std::string& procRoot)
{
    Diagnosis d;
    if (error == EACCES || error == EPERM) {
        d.code = kNoPermission;
    } else if (error == EBUSY || error == EWOULDBLOCK) {
        d.code = kHeldByAnother;
        d.holder = FindHolder(node, procRoot);
    }
    return d;
}

std::string FindHolder(const std::string& node, const std::string& procRoot)
{
    // A descriptor's link names the real node: /dev/ttyUSB0 may be a link.
    std::error_code ec;
    const fs::path real = fs::canonical(node, ec);
    const std::string target = ec ? node : real.string();
    for (const std::string& pid : FolderEntries(procRoot)) {
        if (pid.find_first_not_of("0123456789") != std::string::npos)
            continue;
        // Another user's descriptors stay closed to us; a process may end
        // while we look. Either way it is skipped.
        const std::string process = procRoot + "/" + pid;
        for (const std::string& fd : FolderEntries(process + "/fd")) {
            std::error_code unreadable;
            const fs::path link = fs::read_symlink(process + "/fd/" + fd, unreadable);
            if (!unreadable && (link == target || link == node)) {
                std::string comm = ReadAttribute(process + "/comm");
                while (!comm.empty() && (comm.back() == ' ' || comm.back() == '\t'))
                    comm.pop_back();
                return comm;
            }
        }
    }
    return {};
}

} // namespace plendoro::ttyusb
