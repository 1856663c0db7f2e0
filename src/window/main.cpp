// SPDX-License-Identifier: MIT
// The window's program. `monvert` starts it in its own place when a window is
// wanted, once the command line has been answered; it is not for users to run.
#include "forms/instance.h"
#include "forms/placement.h"
#include "forms/qt/translations.h"
#include "forms/session.h"
#include "rules/messages.h"
#include "rules/regional.h"
#include "window/form1.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char *argv[])
{
    Monvert::useUserLanguage();
    Monvert::Forms::choosePlatformBeforeStart();
    if (const auto missing = Monvert::Forms::windowSystemMissing(argc, argv)) {
        std::fprintf(stderr, "monvert: %s\n", missing->c_str());
        return 1;
    }
    // One Monvert a display: a second start brings the first back and ends.
    if (Monvert::Forms::reopenedRunningInstance(argc, argv))
        return 0;
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Monvert"));
    QApplication::setApplicationVersion(QStringLiteral(MONVERT_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral("org.monvert.Monvert"));
    // Qt has taken its own options out of the list; anything left is not ours.
    if (QApplication::arguments().size() > 1) {
        const std::string argument = QApplication::arguments().at(1).toStdString();
        std::fputs(
            Monvert::filledIn(Monvert::translated("monvert: unknown argument '%s'\n"), {argument})
                .c_str(),
            stderr);
        return 2;
    }
    Monvert::Forms::reportPlacementLimits();
    Monvert::Forms::loadToolkitTranslations();
    Monvert::Forms::guardSession();

    Monvert::Form1 form(Monvert::regionalNumberFormat());
    if (!Monvert::Forms::claimInstance(form))
        return 0;
    form.Form_Load();
    return QApplication::exec();
}
