#include "common/FileIo.h"

#include "common/AtomicFile.h"

#include <cstdio>

namespace plendoro {

bool WriteFileAtomically(const std::string& path, const std::string& bytes)
{
    AtomicFile file;
    return file.Create(path) && file.Write(bytes) && file.Commit();
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
