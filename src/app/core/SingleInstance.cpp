#include "app/core/SingleInstance.h"

#include "app/core/InstallLayout.h"

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace plendoro {
namespace {

// A folder only this user can use: his own, closed to everyone else. The
// lock file's name is known, so in any other folder someone else could
// hold it first or replace it.
bool IsPrivate(const struct stat& st)
{
    return S_ISDIR(st.st_mode) && st.st_uid == ::getuid() && (st.st_mode & 07777) == 0700;
}

bool IsOwnFolder(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && IsPrivate(st);
}

std::string Failure(const std::string& what, const std::string& path, int error)
{
    return what + " " + path + ": " + std::strerror(error);
}

} // namespace

SingleInstance::~SingleInstance()
{
    Release();
}

std::string SingleInstance::DefaultLockFolder()
{
    // After su the variable may still name the first user's folder, which
    // this user cannot use.
    // Without a home folder the settings have no place either: then the
    // program does not start.
    const std::string home = UserHomeFolder(std::getenv("HOME"));
    if (home.empty())
        return {};
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && *runtime && IsOwnFolder(runtime))
        return runtime;
    // Never a shared folder such as /tmp: anyone could put a file of the
    // lock's name there first and keep every copy from starting.
    return home + "/.plendoro";
}

SingleInstance::Result SingleInstance::Acquire(int timeoutMs, const std::string& lockFolder)
{
    Release();
    if (lockFolder.empty())
        return {Outcome::Failed, "no home folder for the settings and the lock file"};
    if (::mkdir(lockFolder.c_str(), 0700) != 0 && errno != EEXIST)
        return {Outcome::Failed, Failure("cannot create folder", lockFolder, errno)};
    // The folder is judged as opened, so that it cannot change in between.
    const int folder = ::open(lockFolder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0)
        return {Outcome::Failed, Failure("cannot open folder", lockFolder, errno)};
    struct stat dir {};
    if (::fstat(folder, &dir) != 0 || !IsPrivate(dir)) {
        ::close(folder);
        return {Outcome::Failed, "folder " + lockFolder + " is not this user's own with mode 0700"};
    }

    const std::string path = lockFolder + "/" + kLockName + ".lock";
    const int fd =
        ::openat(folder, (std::string(kLockName) + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    ::close(folder);
    if (fd < 0)
        return {Outcome::Failed, Failure("cannot open lock file", path, errno)};
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::getuid()) {
        ::close(fd);
        return {Outcome::Failed, "lock file " + path + " is not a file of this user"};
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            fd_ = fd;
            return {Outcome::Acquired, {}};
        }
        const int error = errno;
        if (error != EWOULDBLOCK && error != EINTR) {
            ::close(fd);
            return {Outcome::Failed, Failure("cannot lock", path, error)};
        }
        if (std::chrono::steady_clock::now() >= deadline)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ::close(fd);
    return {Outcome::HeldByAnother, {}};
}

void SingleInstance::Release()
{
    if (fd_ >= 0) {
        ::flock(fd_, LOCK_UN);
        ::close(fd_);
        fd_ = -1;
    }
}

} // namespace plendoro
