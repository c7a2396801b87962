#include "common/Log.h"

#include <atomic>

namespace plendoro {

namespace {

// Exchanges run on worker threads too; the sink may be swapped meanwhile.
std::atomic<LogSink> gSink{nullptr};
std::atomic<LogFilter> gFilter{nullptr};

constexpr char kDigits[] = "0123456789ABCDEF";

} // namespace

void SetLogSink(LogSink sink, LogFilter filter)
{
    gFilter.store(filter);
    gSink.store(sink);
}

bool LogEnabled(LogChannel channel)
{
    if (gSink.load(std::memory_order_relaxed) == nullptr)
        return false;
    const LogFilter filter = gFilter.load();
    return filter == nullptr || filter(channel);
}

void LogLine(LogChannel channel, std::string_view line)
{
    if (const LogSink sink = gSink.load())
        sink(channel, line);
}

std::string HexBytes(const std::uint8_t* bytes, std::size_t count)
{
    std::string text;
    if (count == 0)
        return text;
    text.reserve(count * 3 - 1);
    for (std::size_t i = 0; i < count; ++i) {
        if (i > 0)
            text += ' ';
        text += kDigits[bytes[i] >> 4];
        text += kDigits[bytes[i] & 0x0F];
    }
    return text;
}

std::string PrintableBytes(const std::uint8_t* bytes, std::size_t count)
{
    std::string text;
    text.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t b = bytes[i];
        if (b >= 0x20 && b < 0x7F && b != '\\') {
            text += static_cast<char>(b);
        } else {
            text += "\\x";
            text += kDigits[b >> 4];
            text += kDigits[b & 0x0F];
        }
    }
    return text;
}

} // namespace plendoro
