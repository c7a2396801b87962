#pragma once
// Whole-file reads and writes. A write goes to a temporary name beside the
// path and is renamed into place, so a failed write never destroys the
// previous file; links, modes and read-only files as AtomicFile keeps them.
#include <string>

namespace plendoro {

bool WriteFileAtomically(const std::string& path, const std::string& bytes);
// The file a path finally names, following only the links the user or root
// owns (relative targets from the link's own folder). Another user's link
// in a shared folder could point at any file of this user's, so it is
// where the path ends: the link itself. Empty for a chain that does not end.
std::string FollowOwnLinks(std::string path);
// False when the file cannot be opened or read; bytes then holds what was read.
bool ReadWholeFile(const std::string& path, std::string& bytes);

} // namespace plendoro
