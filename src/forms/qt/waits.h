// SPDX-License-Identifier: MIT
#pragma once

#include "forms/waits.h"

#include <csignal>

namespace Monvert::Forms {

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
