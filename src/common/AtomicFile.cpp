#include "common/AtomicFile.h"

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
    path_ = path;
    std::string pattern = path + ".XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    fd_ = ::mkstemp(name.data());
    if (fd_ < 0)
        return false;
    tempPath_ = name.data();
    // mkstemp makes the file private; a profile is an ordinary file.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd_, 0666 & ~mask);
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
