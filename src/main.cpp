// SPDX-License-Identifier: MIT
#include "convert/regional.h"
#include "platform/placement.h"
#include "platform/session.h"
#include "platform/translations.h"
#include "terminal/batch.h"
#include "window/form1.h"

#include <QApplication>

#include <array>
#include <cstdio>
#include <cstring>
#include <string_view>

namespace {

constexpr const char *Usage
    = "Usage: monvert [--help] [--version]\n"
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
      "standard error; the exit status is then 1.\n"
      "\n"
      "Example: cut -d';' -f3 ledger.csv | monvert --from-lire --number\n";

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
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0 || std::strcmp(argv[i], "-v") == 0) {
            std::printf("Monvert %s\n", MONVERT_VERSION);
            return 0;
        }
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(Usage, stdout);
            return 0;
        }
    }
    if (Monvert::Terminal::wanted(argc, argv))
        return Monvert::Terminal::run({argv + 1, argv + argc}, stdin, stdout, stderr);
    for (int i = 1; i < argc;) {
        const int length = qtOptionLength(argc, argv, i);
        if (length == 0) {
            std::fprintf(stderr, "monvert: unknown argument '%s'\n%s", argv[i], Usage);
            return 2;
        }
        i += length;
    }
    return -1;
}

} // namespace

int main(int argc, char *argv[])
{
    if (const int answered = answerCommandLine(argc, argv); answered >= 0)
        return answered;

    Monvert::Forms::choosePlatformBeforeStart();
    if (const auto missing = Monvert::Forms::windowSystemMissing(argc, argv)) {
        std::fprintf(stderr, "monvert: %s\n", missing->c_str());
        return 1;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Monvert"));
    QApplication::setApplicationVersion(QStringLiteral(MONVERT_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral("org.monvert.Monvert"));
    // Qt has taken its own options out of the list; anything left is not ours.
    if (QApplication::arguments().size() > 1) {
        std::fprintf(stderr, "monvert: unknown argument '%s'\n%s",
                     qPrintable(QApplication::arguments().at(1)), Usage);
        return 2;
    }
    Monvert::Forms::reportPlacementLimits();
    Monvert::Forms::loadToolkitTranslations();
    Monvert::Forms::guardSession();

    Monvert::Form1 form(Monvert::regionalNumberFormat());
    form.Form_Load();
    return QApplication::exec();
}
