#pragma once
// One clock for the whole simulated world: every byte carries the steady
// time at which it reaches the other end of the wire.
#include <chrono>

namespace plsim {

using Clock = std::chrono::steady_clock;
using TimePoint = Clock::time_point;
using Nanos = std::chrono::nanoseconds;

inline Nanos Millis(long long v)
{
    return std::chrono::milliseconds(v);
}
inline Nanos Micros(long long v)
{
    return std::chrono::microseconds(v);
}

} // namespace plsim
