#pragma once
// A file written in pieces under a temporary name beside its final path and
// renamed into place only when every piece arrived. Unlike
// WriteFileAtomically it lets the caller produce each piece just before
// writing it, and none at all when the file cannot be created.
//
// Every file the program replaces goes through here. A symbolic link the
// user or root owns is written through to its target and stays a link;
// another user's link is replaced itself, and where the folder refuses
// that (a shared folder with the sticky bit), Commit fails. A replaced
// file keeps its permission bits but never a set-id or sticky bit, and a
// file whose owner took away his own write permission is left alone
// (Create fails), even for root.
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

    // Creates the temporary file beside the file the path finally names;
    // false when the folder does not allow it or the file is read-only.
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
