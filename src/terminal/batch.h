// SPDX-License-Identifier: MIT
#pragma once

#include <cstdio>
#include <string_view>
#include <vector>

// Conversion from a terminal: the amounts given, or one amount a line of
// standard input, read and shown exactly as the window's boxes read and show
// them. No window and no display are involved.
namespace Monvert::Terminal {

// The options that choose this mode; any of them on the command line does.
[[nodiscard]] bool wanted(int argc, char **argv);

// Runs the mode on the arguments after the program's name and returns the
// exit status: 0, 1 when any amount did not read, 2 for a usage error.
int run(const std::vector<std::string_view> &arguments, std::FILE *in, std::FILE *out,
        std::FILE *errors);

} // namespace Monvert::Terminal
