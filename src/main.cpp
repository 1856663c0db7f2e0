// SPDX-License-Identifier: MIT
#include "platform/placement.h"
#include "platform/regional.h"
#include "platform/session.h"
#include "window/form1.h"

#include <QApplication>

#include <array>
#include <cstdio>
#include <cstring>
#include <string_view>

namespace {

constexpr const char *Usage
    = "Usage: monvert [--help] [--version]\n"
      "Converts amounts between Italian Lire and Euro at 1936.27 Lire to the Euro.\n"
      "Qt's own options (-platform, -display, ...) are accepted too.\n";

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

// --help, --version and a wrong argument are answered before Qt starts, so
// that they work without a display: 0 or 2 to exit with, -1 to go on.
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

    Monvert::Form1 form(Monvert::Forms::regionalNumberFormat());
    form.Form_Load();
    return QApplication::exec();
}
