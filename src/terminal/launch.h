// SPDX-License-Identifier: MIT
#pragma once

#include "rules/options.h"

#include <string>
#include <vector>

// What `monvert` needs of its system besides the terminal mode: its command
// line as UTF-8, and the window's program. Each system has its own file.
namespace Monvert::Terminal {

[[nodiscard]] std::vector<std::string> commandLine(int argc, char **argv);

// What --help says after the options, in the user's language: what holds on
// this system, and examples.
[[nodiscard]] const char *systemNotes();

// Where the window's program is: beside this one in the build tree and on
// Windows, in its private folder once installed on Unix.
[[nodiscard]] std::string windowProgram();

// Starts the window's program with what the command line asks of the window:
// on Unix this process becomes it, under the name it was started by; on
// Windows it runs on its own, and this one ends with its status. Returns only
// on failure, with the reason.
[[nodiscard]] std::string startWindow(const char *name, const CommandLine &line);

} // namespace Monvert::Terminal
