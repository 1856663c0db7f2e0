// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <vector>

// What `monvert` needs of its system besides the terminal mode: its command
// line as UTF-8, and the window's program. Each system has its own file.
namespace Monvert::Terminal {

[[nodiscard]] std::vector<std::string> commandLine(int argc, char **argv);

// What --help says after the options, in the user's language: what holds on
// this system, and examples.
[[nodiscard]] const char *systemNotes();

// How many arguments at argv[i] are an option of the window's toolkit, which
// the window takes for itself: 0 for one that is not.
[[nodiscard]] int windowOptionLength(int argc, char **argv, int i);

// Where the window's program is: beside this one in the build tree and on
// Windows, in its private folder once installed on Unix.
[[nodiscard]] std::string windowProgram();

// Starts the window's program with the same arguments: on Unix this process
// becomes it; on Windows it runs on its own, and this one ends with status 0.
// Returns only on failure, with the reason.
[[nodiscard]] std::string startWindow(int argc, char **argv);

} // namespace Monvert::Terminal
