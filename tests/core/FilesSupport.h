#pragma once
// What the file tests share: a scratch folder, whole-file reads and writes,
// and a way to make a write fail part-way as a full disk would.
#include "app/core/IniFile.h"
#include "common/FileIo.h"

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/resource.h>

namespace files_test {

struct TempFolder {
    TempFolder()
    {
        char tmpl[] = "/tmp/plendoro-files-XXXXXX";
        path = std::string(mkdtemp(tmpl)) + "/"; // as KvdFolder is kept
    }
    ~TempFolder() { std::filesystem::remove_all(path); }
    std::size_t Entries() const
    {
        using It = std::filesystem::directory_iterator;
        return static_cast<std::size_t>(std::distance(It(path), It()));
    }
    std::string path;
};

inline std::string Slurp(const std::string& file)
{
    std::string s;
    plendoro::ReadWholeFile(file, s);
    return s;
}

inline void Put(const std::string& file, const std::string& bytes)
{
    std::ofstream(file, std::ios::binary) << bytes;
}

// While it lives, no file may grow beyond `bytes`.
struct FileSizeLimit {
    explicit FileSizeLimit(rlim_t bytes)
    {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &saved);
        rlimit limited = saved;
        limited.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &saved); }
    rlimit saved{};
};

} // namespace files_test
