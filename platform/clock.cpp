// The millisecond clock, and the replacement tests put in its place.
#include "platform/clock.h"

#include <chrono>

namespace {

std::function<uint32_t()>& replacement()
{
    static std::function<uint32_t()> clock;
    return clock;
}

}  // namespace

uint32_t millisecondClock()
{
    if (replacement()) return replacement()();
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

void setMillisecondClock(std::function<uint32_t()> clock) { replacement() = std::move(clock); }
