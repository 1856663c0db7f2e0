// SPDX-License-Identifier: MIT
// The command users type. It answers the command line and runs the terminal
// mode itself, with no toolkit loaded, and becomes the window's program only
// when a window is wanted.
#include "rules/messages.h"
#include "rules/options.h"
#include "terminal/batch.h"
#include "terminal/launch.h"

#include <cerrno>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace {

using Monvert::filledIn;
using Monvert::translated;

std::string usage()
{
    return std::string(translated(
               "Usage: monvert [--help] [--version]\n"
               "       monvert --from-lire|--from-euro [--number] [AMOUNT...]\n"
               "       monvert --from-lire|--from-euro --clipboard\n"
               "       monvert [--shortcut-from-lire=KEYS] [--shortcut-from-euro=KEYS]\n"
               "Converts amounts between Italian Lire and Euro at 1936.27 Lire to the Euro.\n"
               "Without options, shows the converter window.\n"
               "\n"
               "  --from-lire   convert the AMOUNTs, or each line of standard input, from Lire\n"
               "                and print them as the Euro box shows them (Euro 0,52)\n"
               "  --from-euro   the same from Euro to Lire (L. 19.363)\n"
               "  --number      print the number alone (0,52), for a spreadsheet\n"
               "  --clipboard   with --from-lire or --from-euro: the window converts the\n"
               "                clipboard as a click on that label does, started if need be\n"
               "  --shortcut-from-lire=KEYS, --shortcut-from-euro=KEYS\n"
               "                keys such as Ctrl+Shift+F9 that convert the clipboard from any\n"
               "                application while the window runs\n"
               "\n"
               "Exit status: 0 when every amount converted, 1 when some did not read,\n"
               "2 for a wrong option, 3 when input could not be read or output written.\n"
               "With --clipboard: 0 once the clipboard holds the conversion, 1 when it\n"
               "does not, with a line that says why (no amount, no text, no answer).\n"
               "\n"))
        + Monvert::Terminal::systemNotes();
}

// --help, --version, the terminal mode and a wrong argument are answered
// before Qt starts, so that they work without a display: the status to exit
// with, or -1 to go on to the window.
int answerCommandLine(const Monvert::CommandLine &line)
{
    using Monvert::Option;
    if (const auto answer = line.answer()) {
        if (*answer == Option::Version)
            std::printf("Monvert %s\n", MONVERT_VERSION);
        else
            std::fputs(usage().c_str(), stdout);
        return 0;
    }
    // "--from-lire --clipboard" asks the window to convert the clipboard.
    const bool clipboard = line.has(Option::Clipboard);
    if (clipboard && line.count(Option::FromLire) + line.count(Option::FromEuro) != 1) {
        std::fputs(
            translated("monvert: --clipboard goes with one of --from-lire and --from-euro\n"),
            stderr);
        return 2;
    }
    if (!clipboard
        && (line.has(Option::FromLire) || line.has(Option::FromEuro) || line.has(Option::Number)))
        return Monvert::Terminal::run(line, 0, 1, 2);
    if (const Monvert::Argument *wrong = line.firstNotForWindow()) {
        std::fputs(
            filledIn(translated("monvert: unknown argument '%s'\n"), {std::string(wrong->written)})
                .c_str(),
            stderr);
        std::fputs(usage().c_str(), stderr);
        return 2;
    }
    return -1;
}

} // namespace

int main(int argc, char *argv[])
{
    Monvert::useUserLanguage();
    const std::vector<std::string> arguments = Monvert::Terminal::commandLine(argc, argv);
    const std::vector<std::string_view> views(arguments.begin() + (arguments.empty() ? 0 : 1),
                                              arguments.end());
    const Monvert::CommandLine line = Monvert::readCommandLine(views);
    if (const int answered = answerCommandLine(line); answered >= 0)
        return answered;
    const std::string failure = Monvert::Terminal::startWindow(argv[0], line);
    std::fputs(filledIn(translated("monvert: cannot start the window %s: %s\n"),
                        {Monvert::Terminal::windowProgram(), failure})
                   .c_str(),
               stderr);
    return 1;
}
