// SPDX-License-Identifier: MIT
#pragma once

#include <QElapsedTimer>

#include <csignal>
#include <cstdint>

// Gestures that wait on another program, most likely a clipboard owner that
// does not answer. One window system, one queue: whatever started a wait,
// the clicks and paste keys the user made meanwhile were queued behind it,
// and each would wait again, so they are dropped.
namespace Monvert::Forms {

// Whether a gesture with this window-system timestamp (milliseconds; zero
// for an event a program made) was made during the last long wait.
[[nodiscard]] bool madeDuringWait(std::uint64_t timestamp);

// The gesture's handling began at `timestamp` and lasted this long.
void recordWait(std::uint64_t timestamp, std::int64_t milliseconds);

template <typename Procedure> void timed(std::uint64_t timestamp, Procedure &&procedure)
{
    QElapsedTimer timer;
    timer.start();
    procedure();
    recordWait(timestamp, timer.elapsed());
}

// Set while the program waits for another program's clipboard. Nothing of
// its own is on the clipboard then to hand over, so a signal that ends the
// program may end it at once rather than after the wait.
extern volatile std::sig_atomic_t readingClipboard;

struct ClipboardRead
{
    ClipboardRead() { readingClipboard = 1; }
    ~ClipboardRead() { readingClipboard = 0; }
    ClipboardRead(const ClipboardRead &) = delete;
    ClipboardRead &operator=(const ClipboardRead &) = delete;
};

} // namespace Monvert::Forms
