#pragma once
// The program's ini file, read and written the way the desktop's own
// profile functions do: section and key names compare without letter case,
// blanks around names and values are ignored, and writing a key replaces
// that key's line alone, leaving every other byte of the file as it was.
//
// The interface speaks UTF-8. The file is Windows-1251 as long as every
// text in it fits that code page; the first text that does not turns the
// whole file into UTF-8 behind a byte-order mark, and a file with that mark
// stays UTF-8. Lines may end in CR LF, LF or a lone CR.
#include <cstddef>
#include <functional>
#include <optional>
#include <string>

namespace plendoro {

class IniFile {
public:
    enum class Outcome {
        Ok,
        // The file exists but could not be read whole (or is larger than
        // kMaxSize); the rest of the run reads defaults and never writes it.
        Unreadable,
        // A text the file cannot hold (a line break in a value); nothing written.
        InvalidValue,
        // The new file could not be put in place; the old one is whole.
        WriteFailed,
    };
    // Larger files are not settings files; reading one would only stall.
    static constexpr std::size_t kMaxSize = 1024 * 1024;

    explicit IniFile(std::string path) : path_(std::move(path)) {}

    const std::string& Path() const { return path_; }
    // Told of every outcome other than Ok, reads included.
    void OnFailure(std::function<void(Outcome)> report) { report_ = std::move(report); }
    bool Unreadable() const { return unreadable_; }

    // The value, or nothing when the file, the section or the key is missing.
    std::optional<std::string> Read(const std::string& section, const std::string& key);
    std::string ReadString(const std::string& section, const std::string& key, const std::string& def);
    // A value that does not start with a number gives the default.
    long long ReadInteger(const std::string& section, const std::string& key, long long def);
    // How ReadInteger reads a value: one 32-bit integer, decimal or "0x"
    // hex, and nothing else; def otherwise.
    static long long IntegerValue(const std::string& value, long long def);

    // Creates the file on the first write. The new content goes to a
    // temporary file that is renamed into place, so a failed write leaves
    // the old file whole.
    Outcome Write(const std::string& section, const std::string& key, const std::string& value);

    // The same on the file's bytes in memory; names and values are UTF-8
    // whatever the file's encoding. WriteInto gives the file's new bytes, or
    // nothing when the texts cannot be written as one line of the file (a
    // line break or NUL anywhere, blanks around a name, "=" in a key or "]"
    // in a section name, a key that reads as a comment or a section).
    static std::optional<std::string> ReadFrom(const std::string& content, const std::string& section,
                                               const std::string& key);
    static std::optional<std::string> WriteInto(const std::string& content, const std::string& section,
                                                const std::string& key, const std::string& value);

private:
    Outcome Load(std::string& bytes);
    Outcome Report(Outcome outcome);

    std::string path_;
    std::function<void(Outcome)> report_;
    bool unreadable_ = false;
};

} // namespace plendoro
