#include "app/core/ProgramVersion.h"

#include <cstdio>

namespace plendoro {

ProgramVersion ParseProgramVersion(const std::string& text)
{
    ProgramVersion v;
    std::sscanf(text.c_str(), "%u.%u.%u", &v.major, &v.minor, &v.build);
    return v;
}

const ProgramVersion& BuiltProgramVersion()
{
    static const ProgramVersion v = ParseProgramVersion(PLENDORO_VERSION_STRING);
    return v;
}

std::string FormatProgramVersion(const ProgramVersion& v)
{
    char text[48];
    std::snprintf(text, sizeof text, "%u.%u.%u", v.major, v.minor, v.build);
    return text;
}

} // namespace plendoro
