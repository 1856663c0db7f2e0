// SPDX-License-Identifier: MIT
#pragma once

#include "forms/commands.h"

class QObject;

// The program's life as a process, on POSIX systems: the signals that end it
// as closing its window does, and a start that goes on in a process of its
// own while the one that was started waits for it.
namespace Monvert::Forms {

// SIGTERM, SIGINT and SIGHUP quit through the event loop, so that the
// toolkit hands the clipboard over on the way out; while the program waits
// for another program's clipboard, they end it at once. SIGPIPE is ignored.
void quitOnSignals(QObject *parent);

// Before the application object exists, for a start that asked for a
// conversion and found no window to ask: the window goes on in a process of
// its own, and this one ends once the window has told what came of the
// request, saying so unless it converted (status 0, otherwise 1). Returns,
// in the window's process, what tells the waiting one.
[[nodiscard]] int continueInBackground();

// What came of the request, or nothing to tell: the waiting process ends,
// and the window lets go of the standard streams it shared with whoever
// started it.
void tellWaiting(int &waiting, const ClipboardOutcome *outcome);

} // namespace Monvert::Forms
