// SPDX-License-Identifier: MIT
#pragma once

#include "rules/options.h"

// Conversion from a terminal: the amounts given, or one amount a line of
// standard input, read and shown exactly as the window's boxes read and show
// them. No window, no display and no toolkit are involved.
namespace Monvert::Terminal {

// Exit statuses besides 0.
inline constexpr int NotAnAmount = 1; // some line or argument was no amount
inline constexpr int UsageError = 2;
inline constexpr int IoFailed = 3; // input could not be read or output written

// Runs the mode on the command line, which names a conversion (--from-lire,
// --from-euro or --number), reading and writing the given file descriptors,
// and returns the exit status.
int run(const CommandLine &line, int in, int out, int errors);

} // namespace Monvert::Terminal
