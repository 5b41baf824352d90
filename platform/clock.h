// The millisecond clock: a 32-bit counter from a monotonic clock that wraps after
// about 49.7 days. Tests put a clock of their own in its place.
#pragma once

#include <cstdint>
#include <functional>

uint32_t millisecondClock();

// Tests: replaces the clock; an empty function puts the real one back.
void setMillisecondClock(std::function<uint32_t()> clock);
