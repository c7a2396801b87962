#include "common/Cp1251.h"

#include <cerrno>
#include <iconv.h>

namespace plendoro {
namespace {

// iconv descriptors are not thread-safe; each conversion opens its own.
std::string Convert(const char* to, const char* from, std::string_view in)
{
    iconv_t cd = iconv_open(to, from);
    // (iconv_t)-1 is how iconv_open reports failure.
    if (cd == reinterpret_cast<iconv_t>(-1)) // NOLINT(performance-no-int-to-ptr)
        return std::string(in);
    std::string out;
    out.resize(in.size() * 4 + 16);
    char* src = const_cast<char*>(in.data());
    size_t srcLeft = in.size();
    char* dst = out.data();
    size_t dstLeft = out.size();
    while (srcLeft > 0) {
        size_t rc = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
        if (rc != static_cast<size_t>(-1))
            break;
        if (errno == E2BIG) {
            size_t used = static_cast<size_t>(dst - out.data());
            out.resize(out.size() * 2);
            dst = out.data() + used;
            dstLeft = out.size() - used;
            continue;
        }
        // Unconvertible or broken input: one '?' for the character, then
        // skip the rest of a UTF-8 sequence.
        if (dstLeft == 0) {
            size_t used = static_cast<size_t>(dst - out.data());
            out.resize(out.size() * 2);
            dst = out.data() + used;
            dstLeft = out.size() - used;
        }
        *dst++ = '?';
        --dstLeft;
        ++src;
        --srcLeft;
        while (srcLeft > 0 && (static_cast<unsigned char>(*src) & 0xC0) == 0x80 && std::string_view(from) == "UTF-8") {
            ++src;
            --srcLeft;
        }
    }
    out.resize(static_cast<size_t>(dst - out.data()));
    iconv_close(cd);
    return out;
}

} // namespace

std::string Utf8ToCp1251(std::string_view utf8)
{
    return Convert("CP1251", "UTF-8", utf8);
}

std::string Cp1251ToUtf8(std::string_view cp1251)
{
    return Convert("UTF-8", "CP1251", cp1251);
}

} // namespace plendoro
