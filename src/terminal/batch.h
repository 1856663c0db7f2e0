// SPDX-License-Identifier: MIT
#pragma once

#include <string_view>
#include <vector>

// Conversion from a terminal: the amounts given, or one amount a line of
// standard input, read and shown exactly as the window's boxes read and show
// them. No window, no display and no toolkit are involved.
namespace Monvert::Terminal {

// Exit statuses besides 0.
inline constexpr int NotAnAmount = 1; // some line or argument was no amount
inline constexpr int UsageError = 2;
inline constexpr int IoFailed = 3; // input could not be read or output written

// The options that choose this mode; any of them before "--" does.
[[nodiscard]] bool wanted(int argc, char **argv);

// Runs the mode on the arguments after the program's name, reading and
// writing the given file descriptors, and returns the exit status.
int run(const std::vector<std::string_view> &arguments, int in, int out, int errors);

} // namespace Monvert::Terminal
