// plendoro_sim_update_server [PORT]: serves the demo's firmware image on
// 127.0.0.1 until killed, and prints the port it listens on.
#include <csignal>
#include <cstdio>
#include <cstdlib>

#include "UpdateServer.h"

namespace {
void StopOnSignal(int)
{
    std::_Exit(0);
}
} // namespace

int main(int argc, char** argv)
{
    const long port = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 0;
    if (port < 0 || port > 65535) {
        std::fprintf(stderr, "usage: plendoro_sim_update_server [PORT]\n");
        return 2;
    }
    plsim::UpdateServer s(plsim::DemoImage());
    if (!s.Listen(static_cast<std::uint16_t>(port))) {
        std::perror("plendoro_sim_update_server: listen");
        return 1;
    }
    std::signal(SIGTERM, StopOnSignal);
    std::signal(SIGINT, StopOnSignal);
    std::printf("%u\n", static_cast<unsigned>(s.Port()));
    std::fflush(stdout);
    s.Serve();
    return 0;
}
