#include "common/AtomicFile.h"

#include "common/FileIo.h"

#include <cerrno>
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

bool AtomicFile::Create(const std::string& path)
{
    Discard();
    path_ = FollowOwnLinks(path);
    if (path_.empty())
        return false;
    // A new file is an ordinary one; a replaced file keeps its permissions,
    // and one its owner made read-only is not replaced. The owner's write
    // bit is asked, not access(2), which lets root write anything. A link
    // left unfollowed is replaced as a new file would be. Set-id and sticky
    // bits are never carried over: the new bytes are not the ones they
    // were given for.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    mode_t mode = 0666 & ~mask;
    struct stat existing {};
    if (::lstat(path_.c_str(), &existing) == 0 && !S_ISLNK(existing.st_mode)) {
        if ((existing.st_mode & S_IWUSR) == 0) {
            errno = EACCES;
            return false;
        }
        mode = existing.st_mode & 0777;
    }
    std::string pattern = path_ + ".XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    // Not inherited by a program started meanwhile (the loader, say).
    fd_ = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd_ < 0)
        return false;
    tempPath_ = name.data();
    // mkostemp makes the file private.
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
