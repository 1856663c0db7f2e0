// SPDX-License-Identifier: MIT
// The command users type. It answers the command line and runs the terminal
// mode itself, with no toolkit loaded, and becomes the window's program only
// when a window is wanted.
#include "rules/messages.h"
#include "terminal/batch.h"
#include "terminal/launch.h"

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace {

using Monvert::filledIn;
using Monvert::translated;

const char *usage()
{
    return translated(
        "Usage: monvert [--help] [--version]\n"
        "       monvert --from-lire|--from-euro [--number] [AMOUNT...]\n"
        "Converts amounts between Italian Lire and Euro at 1936.27 Lire to the Euro.\n"
        "Without options, shows the converter window; Qt's own options (-platform,\n"
        "-display, ...) are accepted there.\n"
        "\n"
        "  --from-lire   convert the AMOUNTs, or each line of standard input, from Lire\n"
        "                and print them as the Euro box shows them (Euro 0,52)\n"
        "  --from-euro   the same from Euro to Lire (L. 19.363)\n"
        "  --number      print the number alone (0,52), for a spreadsheet\n"
        "\n"
        "Amounts are read and written with the regional settings (LC_ALL, LC_NUMERIC,\n"
        "LANG). An amount that does not read gives an empty line and a message on\n"
        "standard error.\n"
        "\n"
        "Exit status: 0 when every amount converted, 1 when some did not read,\n"
        "2 for a wrong option, 3 when input could not be read or output written.\n"
        "A closed pipe ends it as it ends cat, with no message, unless SIGPIPE is\n"
        "ignored: then it is status 3 too.\n"
        "\n"
        "Example: cut -d';' -f3 ledger.csv | monvert --from-lire --number\n");
}

// The options QGuiApplication and QApplication take for themselves, with one
// dash or two; those in the first list take a value, as the next argument or
// after "=".
constexpr std::array<std::string_view, 15> QtOptionsWithValue{
    "platform",    "platformpluginpath", "platformtheme", "plugin",  "qwindowgeometry",
    "qwindowicon", "qwindowtitle",       "session",       "display", "geometry",
    "style",       "stylesheet",         "name",          "title",   "qmljsdebugger"};
constexpr std::array<std::string_view, 6> QtFlags{"reverse", "widgetcount", "nograb",
                                                  "dograb",  "sync",        "testability"};

// How many arguments a Qt option at argv[i] takes up, or 0 for one that is not Qt's.
int qtOptionLength(int argc, char **argv, int i)
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

// --help, --version, the terminal mode and a wrong argument are answered
// before Qt starts, so that they work without a display: the status to exit
// with, or -1 to go on to the window.
int answerCommandLine(int argc, char **argv)
{
    // After "--" everything is an amount, "--help" included.
    for (int i = 1; i < argc && std::strcmp(argv[i], "--") != 0; ++i) {
        if (std::strcmp(argv[i], "--version") == 0 || std::strcmp(argv[i], "-v") == 0) {
            std::printf("Monvert %s\n", MONVERT_VERSION);
            return 0;
        }
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(usage(), stdout);
            return 0;
        }
    }
    if (Monvert::Terminal::wanted(argc, argv))
        return Monvert::Terminal::run({argv + 1, argv + argc}, 0, 1, 2);
    for (int i = 1; i < argc;) {
        const int length = qtOptionLength(argc, argv, i);
        if (length == 0) {
            std::fputs(filledIn(translated("monvert: unknown argument '%s'\n"), {argv[i]}).c_str(),
                       stderr);
            std::fputs(usage(), stderr);
            return 2;
        }
        i += length;
    }
    return -1;
}

} // namespace

int main(int argc, char *argv[])
{
    Monvert::useUserLanguage();
    const std::vector<std::string> arguments = Monvert::Terminal::commandLine(argc, argv);
    std::vector<char *> pointers;
    for (const std::string &argument : arguments)
        pointers.push_back(const_cast<char *>(argument.c_str()));
    pointers.push_back(nullptr);
    if (const int answered = answerCommandLine(int(arguments.size()), pointers.data());
        answered >= 0)
        return answered;
    const std::string failure = Monvert::Terminal::startWindow(argc, argv);
    std::fputs(filledIn(translated("monvert: cannot start the window %s: %s\n"),
                        {Monvert::Terminal::windowProgram(), failure})
                   .c_str(),
               stderr);
    return 1;
}
