#pragma once
// A file written in pieces under a temporary name beside its final path and
// renamed into place only when every piece arrived. Unlike
// WriteFileAtomically it tells a file that could not be created apart from
// one whose writing failed, because a profile reports only the second, and
// it lets the caller produce each piece just before writing it.
#include <string>
#include <string_view>

namespace plendoro {

class AtomicFile {
public:
    AtomicFile() = default;
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;
    // An uncommitted temporary file is removed; the final path is untouched.
    ~AtomicFile();

    // Creates the temporary file; false when the folder does not allow it.
    bool Create(const std::string& path);
    // False unless every byte was written.
    bool Write(std::string_view bytes);
    // Flushes the file and puts it in place of any earlier file of the path.
    bool Commit();

private:
    void Discard();

    std::string path_;
    std::string tempPath_;
    int fd_ = -1;
};

} // namespace plendoro
