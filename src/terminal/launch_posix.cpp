// SPDX-License-Identifier: MIT
#include "terminal/launch.h"

#include "rules/messages.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <string_view>

#include <unistd.h>

namespace Monvert::Terminal {

namespace {

// The options QGuiApplication and QApplication take for themselves, with one
// dash or two; those in the first list take a value, as the next argument or
// after "=".
constexpr std::array<std::string_view, 15> QtOptionsWithValue{
    "platform",    "platformpluginpath", "platformtheme", "plugin",  "qwindowgeometry",
    "qwindowicon", "qwindowtitle",       "session",       "display", "geometry",
    "style",       "stylesheet",         "name",          "title",   "qmljsdebugger"};
constexpr std::array<std::string_view, 6> QtFlags{"reverse", "widgetcount", "nograb",
                                                  "dograb",  "sync",        "testability"};

} // namespace

// Qt's, which the window's program hands to QApplication.
int windowOptionLength(int argc, char **argv, int i)
{
    std::string_view option = argv[i];
    if (option.size() < 2 || option[0] != '-')
        return 0;
    option.remove_prefix(option[1] == '-' ? 2 : 1);
    const std::size_t equals = option.find('=');
    const std::string_view name = option.substr(0, equals);
    for (const std::string_view flag : QtFlags) {
        if (name == flag && equals == std::string_view::npos)
            return 1;
    }
    for (const std::string_view withValue : QtOptionsWithValue) {
        if (name == withValue)
            return equals != std::string_view::npos ? 1 : (i + 1 < argc ? 2 : 0);
    }
    return 0;
}

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

std::string startWindow(int, char **argv)
{
    // The same process goes on as the window, with the same arguments.
    execv(windowProgram().c_str(), argv);
    return systemError(errno);
}

} // namespace Monvert::Terminal
