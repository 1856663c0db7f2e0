// SPDX-License-Identifier: MIT
#include "terminal/ready.h"

namespace Monvert::Terminal {

// The C runtime's descriptors on Windows have no non-blocking mode: a read
// or write that cannot go on yet waits inside the system.
bool notReadyYet(int)
{
    return false;
}

void waitUntilReady(int, Direction) { }

} // namespace Monvert::Terminal
