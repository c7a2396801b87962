#pragma once
#include <cstdint>

namespace plendoro {

// Sleeps and the millisecond tick of every device exchange go through one
// clock, so unit tests can replace real waiting with simulated time.
class Clock {
public:
    virtual ~Clock() = default;
    virtual std::uint64_t TickMs() = 0;
    virtual void SleepMs(unsigned ms) = 0;
};

// Monotonic wall clock used by the program.
class SystemClock final : public Clock {
public:
    std::uint64_t TickMs() override;
    void SleepMs(unsigned ms) override;
    static SystemClock& Instance();
};

} // namespace plendoro
