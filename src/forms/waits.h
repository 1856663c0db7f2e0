// SPDX-License-Identifier: MIT
#pragma once

#include <chrono>
#include <cstdint>

// Gestures that wait on another program, most likely a clipboard owner that
// does not answer. One window system, one queue: whatever started a wait,
// the clicks and paste keys the user made meanwhile were queued behind it,
// and each would wait again, so they are dropped. Shared by the forms
// layer's implementations.
namespace Monvert::Forms {

// Whether a gesture with this window-system timestamp (milliseconds; zero
// for an event a program made) was made during the last long wait.
[[nodiscard]] bool madeDuringWait(std::uint64_t timestamp);

// The gesture's handling began at `timestamp` and lasted this long.
void recordWait(std::uint64_t timestamp, std::int64_t milliseconds);

template <typename Procedure> void timed(std::uint64_t timestamp, Procedure &&procedure)
{
    const auto start = std::chrono::steady_clock::now();
    procedure();
    recordWait(timestamp,
               std::chrono::duration_cast<std::chrono::milliseconds>(
                   std::chrono::steady_clock::now() - start)
                   .count());
}

} // namespace Monvert::Forms
