#include "Scenario.h"

#include "Blocks.h"

#include <cctype>
#include <charconv>
#include <functional>

namespace plsim {

namespace {

std::string_view Trim(std::string_view s)
{
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
    return s;
}

std::vector<std::string_view> Words(std::string_view s)
{
    std::vector<std::string_view> words;
    std::size_t i = 0;
    while (i < s.size()) {
        while (i < s.size() && std::isspace(static_cast<unsigned char>(s[i]))) ++i;
        std::size_t j = i;
        while (j < s.size() && !std::isspace(static_cast<unsigned char>(s[j]))) ++j;
        if (j > i) words.push_back(s.substr(i, j - i));
        i = j;
    }
    return words;
}

bool ParseInt(std::string_view s, long long lo, long long hi, long long& value)
{
    if (!s.empty() && s.front() == '+') s.remove_prefix(1);
    long long v = 0;
    auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (s.empty() || ec != std::errc() || end != s.data() + s.size() || v < lo || v > hi) return false;
    value = v;
    return true;
}

bool ParseIntField(std::string_view s, long long lo, long long hi, int& out)
{
    long long v = 0;
    if (!ParseInt(s, lo, hi, v)) return false;
    out = int(v);
    return true;
}

bool ParseHex32(std::string_view s, std::uint32_t& value)
{
    if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) s.remove_prefix(2);
    if (s.empty() || s.size() > 8) return false;
    std::uint32_t v = 0;
    auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v, 16);
    if (ec != std::errc() || end != s.data() + s.size()) return false;
    value = v;
    return true;
}

bool ParseBool(std::string_view s, bool& value)
{
    if (s == "yes" || s == "on" || s == "true" || s == "1") {
        value = true;
        return true;
    }
    if (s == "no" || s == "off" || s == "false" || s == "0") {
        value = false;
        return true;
    }
    return false;
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool ParseHexBytes(std::string_view s, std::vector<std::uint8_t>& bytes)
{
    std::vector<std::uint8_t> out;
    int high = -1;
    for (char c : s) {
        if (std::isspace(static_cast<unsigned char>(c))) continue;
        int d = HexDigit(c);
        if (d < 0) return false;
        if (high < 0) {
            high = d;
        } else {
            out.push_back(std::uint8_t(high << 4 | d));
            high = -1;
        }
    }
    if (high >= 0) return false;
    bytes = std::move(out);
    return true;
}

bool ParseAddress(std::string_view s, OneWireAddress& address)
{
    if (s.size() != 23) return false;
    for (int i = 0; i < 8; ++i) {
        int h = HexDigit(s[std::size_t(3 * i)]), l = HexDigit(s[std::size_t(3 * i + 1)]);
        if (h < 0 || l < 0) return false;
        if (i < 7 && s[std::size_t(3 * i + 2)] != ':') return false;
        address[std::size_t(i)] = std::uint8_t(h << 4 | l);
    }
    return true;
}

// "403" or "4.03": major * 100 + minor, the way the configurator reads the
// version text back.
bool ParseFirmware(std::string_view s, int& firmware)
{
    const auto dot = s.find('.');
    if (dot == std::string_view::npos) return ParseIntField(s, 0, 9999, firmware);
    long long major = 0, minor = 0;
    if (!ParseInt(s.substr(0, dot), 0, 99, major) || !ParseInt(s.substr(dot + 1), 0, 99, minor)) return false;
    firmware = int(major * 100 + minor);
    return true;
}

std::string Unquote(std::string_view s)
{
    if (s.size() >= 2 && s.front() == '"' && s.back() == '"') s = s.substr(1, s.size() - 2);
    return std::string(s);
}

bool ApplyOneFault(Faults& f, std::string_view text, std::string& error)
{
    const auto w = Words(text);
    const std::string_view name = w.empty() ? std::string_view("none") : w[0];
    const std::size_t args = w.empty() ? 0 : w.size() - 1;
    auto bad = [&](const char* usage) {
        error = "fault '" + std::string(Trim(text)) + "': expected " + usage;
        return false;
    };
    long long a = 0, b = 0;
    if (name == "none") {
        if (args != 0) return bad("\"none\"");
        f = Faults{};
    } else if (name == "silent") {
        if (args == 0) f.silent = true;
        else if (args == 1 && ParseInt(w[1], 0, 1000000, a)) f.silentNext = int(a);
        else return bad("\"silent\" or \"silent N\"");
    } else if (name == "bad_checksum") {
        if (args != 0) return bad("\"bad_checksum\"");
        f.badChecksum = true;
    } else if (name == "error_block") {
        if (args != 2 || !ParseInt(w[1], 0, 127, a) || !ParseInt(w[2], 0, 0xFFFFFFFFLL, b))
            return bad("\"error_block BLOCK CODE\"");
        f.errorBlocks[int(a)] = std::uint32_t(b);
    } else if (name == "unplug_after") {
        if (args != 1 || !ParseInt(w[1], 0, 1000000, a)) return bad("\"unplug_after N\"");
        f.unplugAfter = int(a);
    } else if (name == "split") {
        if (args == 0) f.splitGapMs = 5;
        else if (args == 1 && ParseInt(w[1], 1, 10000, a)) f.splitGapMs = int(a);
        else return bad("\"split\" or \"split MS\"");
    } else if (name == "glued") {
        if (args == 0) f.gluedBytes = 4;
        else if (args == 1 && ParseInt(w[1], 1, 256, a)) f.gluedBytes = int(a);
        else return bad("\"glued\" or \"glued N\"");
    } else if (name == "alternate") {
        if (args != 0) return bad("\"alternate\"");
        f.alternate = true;
        f.alternateAnswers = false;
    } else if (name == "no_hversion") {
        if (args != 0) return bad("\"no_hversion\"");
        f.noHardwareVersion = true;
    } else if (name == "version_silent") {
        if (args != 0) return bad("\"version_silent\"");
        f.versionSilent = true;
    } else if (name == "erase_stall") {
        if (args != 1 || !ParseInt(w[1], 0, 99, a)) return bad("\"erase_stall PERCENT\"");
        f.eraseStallAt = int(a);
    } else if (name == "erase_garbage") {
        if (args != 0) return bad("\"erase_garbage\"");
        f.eraseGarbage = true;
    } else if (name == "erase_glued") {
        if (args != 1 || !ParseInt(w[1], 0, 99, a)) return bad("\"erase_glued PERCENT\"");
        f.eraseGluedAt = int(a);
    } else if (name == "calibration_refused") {
        if (args != 0) return bad("\"calibration_refused\"");
        f.calibrationRefused = true;
    } else if (name == "calibration_stuck") {
        if (args != 0) return bad("\"calibration_stuck\"");
        f.calibrationStuck = true;
    } else if (name == "calibration_silent_after") {
        if (args != 1 || !ParseInt(w[1], 0, 1000000, a)) return bad("\"calibration_silent_after N\"");
        f.calibrationSilentAfter = int(a);
    } else {
        error = "unknown fault '" + std::string(name) + "'";
        return false;
    }
    return true;
}

// Splits the text into logical lines: full-line comments and blank lines
// dropped, a trailing backslash joins the next line (long hex blocks).
bool ForEachLine(std::string_view text, std::string& error,
                 const std::function<bool(int, std::string_view, std::string_view, std::string&)>& handle)
{
    std::string joined;
    int firstLine = 0;
    int lineNo = 0;
    std::size_t pos = 0;
    while (pos <= text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        std::string_view raw = text.substr(pos, end - pos);
        pos = end + 1;
        ++lineNo;
        std::string_view line = Trim(raw);
        if (joined.empty() && (line.empty() || line.front() == '#')) {
            if (end == text.size()) break;
            continue;
        }
        if (joined.empty()) firstLine = lineNo;
        const bool continues = !line.empty() && line.back() == '\\';
        if (continues) line.remove_suffix(1);
        joined.append(line);
        if (continues && end != text.size()) {
            joined.push_back(' ');
            continue;
        }
        const std::string_view whole = Trim(joined);
        const auto space = whole.find_first_of(" \t");
        const std::string_view key = whole.substr(0, space);
        const std::string_view rest = space == std::string_view::npos ? std::string_view() : Trim(whole.substr(space));
        std::string why;
        if (!handle(firstLine, key, rest, why)) {
            error = "line " + std::to_string(firstLine) + ": " + why;
            return false;
        }
        joined.clear();
        if (end == text.size()) break;
    }
    return true;
}

struct BlockLines {
    std::map<int, int> lineOf; // block -> line that set it
};

bool DeviceKey(DeviceSetup& d, BlockLines& given, int lineNo, std::string_view key, std::string_view rest,
               std::string& why)
{
    const auto w = Words(rest);
    auto expect = [&](const char* usage) {
        why = std::string(key) + ": expected " + usage;
        return false;
    };
    if (key == "description") {
        std::string s = Unquote(rest);
        if (s.empty() || s.size() > 63) return expect("a text of 1 to 63 characters");
        d.description = s;
    } else if (key == "serial") {
        std::string s = Unquote(rest);
        if (s.size() > 15) return expect("a text of at most 15 characters");
        d.serial = s;
    } else if (key == "kind") {
        if (rest == "tracker") d.foreign = false;
        else if (rest == "foreign") d.foreign = true;
        else return expect("tracker or foreign");
    } else if (key == "firmware") {
        if (!ParseFirmware(rest, d.firmware)) return expect("a version such as 403 or 4.03");
    } else if (key == "hardware") {
        if (!ParseIntField(rest, -128, 255, d.hardware)) return expect("a number from -128 to 255");
    } else if (key == "plugged") {
        if (!ParseBool(rest, d.plugged)) return expect("yes or no");
    } else if (key == "block") {
        long long id = 0;
        std::vector<std::uint8_t> bytes;
        if (w.empty() || !ParseInt(w[0], 0, 127, id)) return expect("a block number and its bytes in hex");
        const std::string_view hex = Trim(rest.substr(w[0].size()));
        if (!ParseHexBytes(hex, bytes)) return expect("the block's bytes as pairs of hex digits");
        d.blocks[int(id)] = std::move(bytes);
        given.lineOf[int(id)] = lineNo;
    } else if (key == "erase_ms") {
        if (!ParseIntField(rest, 0, 600000, d.eraseMs)) return expect("milliseconds");
    } else if (key == "erase_report_ms") {
        if (!ParseIntField(rest, 1, 600000, d.eraseReportMs)) return expect("milliseconds, at least 1");
    } else if (key == "calibration_ms") {
        if (!ParseIntField(rest, 0, 600000, d.calibrationMs)) return expect("milliseconds");
    } else if (key == "onewire_search_ms") {
        if (!ParseIntField(rest, 0, 600000, d.oneWireSearchMs)) return expect("milliseconds");
    } else if (key == "can") {
        if (w.size() == 1 && w[0] == "clear") {
            d.can.clear();
            return true;
        }
        CanFrame f;
        long long at = 0;
        const bool timed = w.size() == 5 && w[3] == "at" && ParseInt(w[4], 0, 86400000, at);
        if ((w.size() != 3 && !timed) || !ParseHex32(w[0], f.id) || !ParseHex32(w[1], f.dataA) ||
            !ParseHex32(w[2], f.dataB))
            return expect("ID DATA_A DATA_B [at MS], the first three in hex");
        f.atMs = std::uint32_t(at);
        d.can.push_back(f);
    } else if (key == "onewire") {
        if (rest == "clear") {
            d.oneWire.clear();
            return true;
        }
        OneWireAddress a{};
        if (!ParseAddress(rest, a)) return expect("an address such as 28:9F:3C:1A:05:00:00:38");
        d.oneWire.push_back(a);
    } else if (key == "fault") {
        if (!ApplyFault(d.faults, rest, why)) return false;
    } else {
        why = "unknown setting '" + std::string(key) + "'";
        return false;
    }
    return true;
}

// Blocks given in the text must fit the firmware the section ends up with.
bool CheckGivenBlocks(const DeviceSetup& d, const BlockLines& given, std::string& error)
{
    for (auto [id, line] : given.lineOf) {
        const int size = BlockSize(id, d.firmware);
        const auto& bytes = d.blocks.at(id);
        std::string why;
        if (d.foreign) why = "a foreign device keeps no blocks";
        else if (size == 0) why = "firmware " + std::to_string(d.firmware) + " has no block " + std::to_string(id);
        else if (int(bytes.size()) != size)
            why = "block " + std::to_string(id) + " is " + std::to_string(size) + " bytes for firmware " +
                  std::to_string(d.firmware) + ", not " + std::to_string(bytes.size());
        if (!why.empty()) {
            error = "line " + std::to_string(line) + ": " + why;
            return false;
        }
    }
    return true;
}

} // namespace

bool ApplyFault(Faults& faults, std::string_view text, std::string& error)
{
    Faults next = faults;
    if (Trim(text).empty()) {
        next = Faults{};
    } else {
        std::size_t pos = 0;
        while (pos <= text.size()) {
            std::size_t end = text.find(';', pos);
            if (end == std::string_view::npos) end = text.size();
            const std::string_view piece = Trim(text.substr(pos, end - pos));
            if (!piece.empty() && !ApplyOneFault(next, piece, error)) return false;
            pos = end + 1;
        }
    }
    faults = std::move(next);
    return true;
}

void FitBlocks(DeviceSetup& d)
{
    if (d.foreign) {
        d.blocks.clear();
        return;
    }
    for (int id : BlocksOf(d.firmware)) {
        auto it = d.blocks.find(id);
        if (it == d.blocks.end() || int(it->second.size()) != BlockSize(id, d.firmware))
            d.blocks[id] = DefaultBlock(id, d.firmware);
    }
}

bool ParseScenario(std::string_view text, WorldSetup& world, std::string& error)
{
    WorldSetup next;
    next.devices.clear();
    std::vector<BlockLines> given;
    const bool ok =
        ForEachLine(text, error, [&](int lineNo, std::string_view key, std::string_view rest, std::string& why) {
            if (key == "[device]") {
                if (!rest.empty()) {
                    why = "nothing may follow [device] on its line";
                    return false;
                }
                next.devices.emplace_back();
                given.emplace_back();
                return true;
            }
            const bool global = key == "wire_timing" || key == "turnaround_us" || key == "packet_timeout_ms";
            if (global && !next.devices.empty()) {
                why = "'" + std::string(key) + "' belongs before the first [device]";
                return false;
            }
            if (key == "wire_timing") {
                if (ParseBool(rest, next.wireTiming)) return true;
                why = "wire_timing: expected on or off";
                return false;
            }
            if (key == "turnaround_us") {
                if (ParseIntField(rest, 0, 10000000, next.turnaroundUs)) return true;
                why = "turnaround_us: expected microseconds";
                return false;
            }
            if (key == "packet_timeout_ms") {
                if (ParseIntField(rest, 1, 60000, next.packetTimeoutMs)) return true;
                why = "packet_timeout_ms: expected 1 to 60000";
                return false;
            }
            if (next.devices.empty()) {
                why = "'" + std::string(key) + "' is a device setting; start a section with [device]";
                return false;
            }
            return DeviceKey(next.devices.back(), given.back(), lineNo, key, rest, why);
        });
    if (!ok) return false;
    for (std::size_t i = 0; i < next.devices.size(); ++i) {
        if (!CheckGivenBlocks(next.devices[i], given[i], error)) return false;
        FitBlocks(next.devices[i]);
    }
    world = std::move(next);
    return true;
}

bool ApplyDeviceLines(std::string_view text, DeviceSetup& device, std::string& error)
{
    DeviceSetup next = device;
    BlockLines given;
    const bool ok =
        ForEachLine(text, error, [&](int lineNo, std::string_view key, std::string_view rest, std::string& why) {
            return DeviceKey(next, given, lineNo, key, rest, why);
        });
    if (!ok || !CheckGivenBlocks(next, given, error)) return false;
    FitBlocks(next);
    device = std::move(next);
    return true;
}

} // namespace plsim
