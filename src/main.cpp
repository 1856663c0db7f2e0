// SPDX-License-Identifier: MIT
#include "platform/placement.h"
#include "platform/regional.h"
#include "window/form1.h"

#include <QApplication>

#include <cstdio>
#include <cstring>

namespace {

constexpr const char *Usage
    = "Usage: monvert [--help] [--version]\n"
      "Converts amounts between Italian Lire and Euro at 1936.27 Lire to the Euro.\n"
      "Qt's own options (-platform, -display, ...) are accepted too.\n";

// --help and --version must answer without a display, before Qt starts.
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
    return -1;
}

} // namespace

int main(int argc, char *argv[])
{
    if (const int answered = answerCommandLine(argc, argv); answered >= 0)
        return answered;

    Monvert::Forms::choosePlatformBeforeStart();
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

    Monvert::Form1 form(Monvert::Forms::regionalNumberFormat());
    form.Form_Load();
    return QApplication::exec();
}
