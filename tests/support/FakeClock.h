#pragma once
#include "common/Clock.h"

#include <vector>

// Simulated time: sleeping moves the tick on at once.
class FakeClock final : public plendoro::Clock {
public:
    std::uint64_t TickMs() override { return now; }
    void SleepMs(unsigned ms) override
    {
        sleeps.push_back(ms);
        now += ms;
    }
    std::uint64_t now = 1000;
    std::vector<unsigned> sleeps;
};
