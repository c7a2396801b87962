#include "common/Clock.h"

#include <chrono>
#include <thread>

namespace plendoro {

std::uint64_t SystemClock::TickMs()
{
    using namespace std::chrono;
    return static_cast<std::uint64_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void SystemClock::SleepMs(unsigned ms)
{
    if (ms > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

SystemClock& SystemClock::Instance()
{
    static SystemClock clock;
    return clock;
}

} // namespace plendoro
