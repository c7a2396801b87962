#pragma once
// The program's ini file, read and written the way the desktop's own
// profile functions do: section and key names compare without letter case,
// blanks around names and values are ignored, and writing a key replaces
// that key's line alone, leaving every other byte of the file as it was.
// Text in the file is Windows-1251; the interface speaks UTF-8.
#include <optional>
#include <string>

namespace plendoro {

class IniFile {
public:
    explicit IniFile(std::string path) : path_(std::move(path)) {}

    const std::string& Path() const { return path_; }

    // The value, or nothing when the file, the section or the key is missing.
    std::optional<std::string> Read(const std::string& section, const std::string& key) const;
    std::string ReadString(const std::string& section, const std::string& key, const std::string& def) const;
    // A value that does not start with a number gives the default.
    long long ReadInteger(const std::string& section, const std::string& key, long long def) const;

    // Creates the file on the first write. The new content goes to a
    // temporary file that is renamed into place, so a failed write leaves
    // the old file whole. False when the file could not be written.
    bool Write(const std::string& section, const std::string& key, const std::string& value);

    // The same edits on text in memory, for the file functions and tests.
    static std::optional<std::string> ReadFrom(const std::string& content, const std::string& section,
                                               const std::string& key);
    static std::string WriteInto(const std::string& content, const std::string& section, const std::string& key,
                                 const std::string& value);

private:
    std::string path_;
};

} // namespace plendoro
