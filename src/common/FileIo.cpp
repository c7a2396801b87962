#include "common/FileIo.h"

#include "common/AtomicFile.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace plendoro {

bool WriteFileAtomically(const std::string& path, const std::string& bytes)
{
    AtomicFile file;
    return file.Create(path) && file.Write(bytes) && file.Commit();
}

std::string FollowOwnLinks(std::string path)
{
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            return path;
        if (st.st_uid != ::geteuid() && st.st_uid != 0)
            return path;
        std::vector<char> target(PATH_MAX + 1);
        const ssize_t n = ::readlink(path.c_str(), target.data(), target.size() - 1);
        if (n < 0)
            return path;
        std::string next(target.data(), static_cast<std::size_t>(n));
        const std::size_t slash = path.rfind('/');
        if (!next.empty() && next.front() != '/' && slash != std::string::npos)
            next.insert(0, path, 0, slash + 1);
        path = next;
    }
    errno = ELOOP;
    return {};
}

bool ReadWholeFile(const std::string& path, std::string& bytes)
{
    bytes.clear();
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return false;
    char chunk[4096];
    std::size_t n = 0;
    while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0)
        bytes.append(chunk, n);
    const bool ok = !std::ferror(f);
    std::fclose(f);
    return ok;
}

} // namespace plendoro
