// SPDX-License-Identifier: MIT
#include "terminal/launch.h"

#include "rules/messages.h"

#include <cerrno>
#include <cstring>

#include <unistd.h>

namespace Monvert::Terminal {

std::vector<std::string> commandLine(int argc, char **argv)
{
    return {argv, argv + argc};
}

std::string windowProgram()
{
    const std::string folder = programFolder();
    // One that runs, or else one that is there, so that a failure names the
    // file and its real reason (a lost execute permission, say).
    for (const int mode : {X_OK, F_OK}) {
        for (const char *relative : {"monvert-window", MONVERT_WINDOW_FROM_BINDIR}) {
            const std::string candidate = folder + relative;
            if (access(candidate.c_str(), mode) == 0)
                return candidate;
        }
    }
    return folder + MONVERT_WINDOW_FROM_BINDIR;
}

std::string startWindow(int, char **argv)
{
    // The same process goes on as the window, with the same arguments.
    execv(windowProgram().c_str(), argv);
    return systemError(errno);
}

} // namespace Monvert::Terminal
