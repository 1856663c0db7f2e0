// SPDX-License-Identifier: MIT
#include "terminal/launch.h"

#include "rules/messages.h"

#include <cerrno>
#include <cstring>
#include <vector>

#include <unistd.h>

namespace Monvert::Terminal {

const char *systemNotes()
{
    return translated(
        "Qt's own options (-platform, -display, ...) are accepted for the window.\n"
        "Amounts are read and written with the regional settings (LC_ALL, LC_NUMERIC,\n"
        "LANG). An amount that does not read gives an empty line and a message on\n"
        "standard error. A closed pipe ends it as it ends cat, with no message,\n"
        "unless SIGPIPE is ignored: then it is status 3 too.\n"
        "\n"
        "Examples: cut -d';' -f3 ledger.csv | monvert --from-lire --number\n"
        "          monvert --shortcut-from-lire=Ctrl+Shift+F9 "
        "--shortcut-from-euro=Ctrl+Shift+F10\n");
}

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

std::string startWindow(const char *name, const CommandLine &line)
{
    // The same process goes on as the window.
    std::vector<std::string> arguments = line.forWindow();
    std::vector<char *> pointers{const_cast<char *>(name)};
    for (std::string &argument : arguments)
        pointers.push_back(argument.data());
    pointers.push_back(nullptr);
    execv(windowProgram().c_str(), pointers.data());
    return systemError(errno);
}

} // namespace Monvert::Terminal
