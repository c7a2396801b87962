#include "common/AtomicFile.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace plendoro {

AtomicFile::~AtomicFile()
{
    Discard();
}

void AtomicFile::Discard()
{
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (!tempPath_.empty()) {
        std::remove(tempPath_.c_str());
        tempPath_.clear();
    }
}

namespace {
// The file a path finally names: a symbolic link is followed to its target
// (relative targets from the link's own folder), so that replacing the file
// leaves the link in place. Empty for a chain of links that does not end.
std::string FinalTarget(std::string path)
{
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            return path;
        std::vector<char> target(PATH_MAX + 1);
        const ssize_t n = ::readlink(path.c_str(), target.data(), target.size() - 1);
        if (n < 0)
            return path;
        std::string next(target.data(), static_cast<std::size_t>(n));
        const std::size_t slash = path.rfind('/');
        if (!next.empty() && next.front() != '/' && slash != std::string::npos)
            next = path.substr(0, slash + 1) + next;
        path = next;
    }
    errno = ELOOP;
    return {};
}
} // namespace

bool AtomicFile::Create(const std::string& path)
{
    Discard();
    path_ = FinalTarget(path);
    if (path_.empty())
        return false;
    // A new file is an ordinary one; a replaced file keeps its mode, and one
    // its owner made read-only is not replaced. The owner's write bit is
    // asked, not access(2), which lets root write anything.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    mode_t mode = 0666 & ~mask;
    struct stat existing {};
    const bool exists = ::stat(path_.c_str(), &existing) == 0;
    if (exists) {
        if ((existing.st_mode & S_IWUSR) == 0) {
            errno = EACCES;
            return false;
        }
        mode = existing.st_mode & 07777;
    }
    std::string pattern = path_ + ".XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    fd_ = ::mkstemp(name.data());
    if (fd_ < 0)
        return false;
    tempPath_ = name.data();
    // mkstemp makes the file private.
    ::fchmod(fd_, mode);
    return true;
}

// Not const: each write changes the file behind the descriptor.
bool AtomicFile::Write(std::string_view bytes) // NOLINT(readability-make-member-function-const)
{
    if (fd_ < 0)
        return false;
    const char* p = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        const ssize_t w = ::write(fd_, p, left);
        if (w < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (w == 0)
            return false;
        p += w;
        left -= static_cast<std::size_t>(w);
    }
    return true;
}

bool AtomicFile::Commit()
{
    if (fd_ < 0)
        return false;
    bool ok = ::fsync(fd_) == 0;
    if (::close(fd_) != 0)
        ok = false;
    fd_ = -1;
    if (ok)
        ok = std::rename(tempPath_.c_str(), path_.c_str()) == 0;
    if (ok)
        tempPath_.clear();
    else
        Discard();
    return ok;
}

} // namespace plendoro
