// SPDX-License-Identifier: MIT
#pragma once

class QObject;

// The program's life as a process, on POSIX systems: the signals that end it
// as closing its window does, and a start that goes on in a process of its
// own while the one that was started waits for it.
namespace Monvert::Forms {

// SIGTERM, SIGINT and SIGHUP quit through the event loop, so that the
// toolkit hands the clipboard over on the way out; while the program waits
// for another program's clipboard, they end it at once.
void quitOnSignals(QObject *parent);

// Before the application object exists, for a start that asked for a
// conversion and found no window to ask: the window goes on in a process of
// its own, and this one ends once the window has taken the request (status
// 0), or has failed to (1, having said why). Returns, in the window's
// process, what tells the waiting one.
[[nodiscard]] int continueInBackground();

// The window has taken the request, or will not: the waiting process ends,
// and the window lets go of the standard streams it shared with whoever
// started it.
void tellWaiting(int &waiting, bool took);

} // namespace Monvert::Forms
