#include "app/core/CommandLine.h"

#include <string_view>

namespace plendoro {

CommandLine ParseCommandLine(int argc, const char* const* argv)
{
    CommandLine c;
    for (int i = 1; i < argc; ++i) {
        const std::string_view a = argv[i];
        if (a == "--help" || a == "-h")
            c.help = true;
        else if (a == "--service")
            c.service = true;
        else if (a.starts_with("--") && c.unknown.empty())
            c.unknown = a;
    }
    return c;
}

std::string UsageText(const std::string& program)
{
    return "Usage: " + program +
           " [--service] [--help]\n"
           "Configurator of the Kovaltrak WiFi vehicle tracker.\n"
           "\n"
           "  --service  also offer the service features: the menu \"Сервис\" with the\n"
           "             accelerometer calibration, and the firmware group\n"
           "  --help     print this text and end\n";
}

} // namespace plendoro
