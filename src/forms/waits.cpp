// SPDX-License-Identifier: MIT
#include "forms/waits.h"

namespace Monvert::Forms {

namespace {

// A gesture whose handling holds the window this long was waiting.
constexpr std::int64_t LongWait = 500;
std::uint64_t waitBegan = 0; // the timestamp of the gesture that began the last long wait
std::int64_t waitLasted = 0;

} // namespace

bool madeDuringWait(std::uint64_t timestamp)
{
    // The window system's 32-bit clock wraps; the difference does not care.
    const auto since = std::uint32_t(timestamp - waitBegan);
    return timestamp != 0 && waitLasted > 0 && since < waitLasted;
}

void recordWait(std::uint64_t timestamp, std::int64_t milliseconds)
{
    if (milliseconds > LongWait && timestamp != 0) {
        waitBegan = timestamp;
        waitLasted = milliseconds;
    }
}

} // namespace Monvert::Forms
