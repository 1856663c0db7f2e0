// SPDX-License-Identifier: MIT
#include "forms/application.h"

#include "forms/qt/placement_xcb.h"
#include "forms/qt/session_unix.h"
#include "forms/qt/translations.h"
#include "rules/messages.h"

#include <QApplication>

#include <cstdio>
#include <memory>

namespace Monvert::Forms {

struct Application::Native
{
    std::unique_ptr<QApplication> application;
};

Application::Application(int &argc, char **argv)
    : m_native(std::make_unique<Native>())
{
    choosePlatformBeforeStart();
    const DisplayCheck display = checkDisplay(argc, argv);
    if (display.missing) {
        std::fprintf(stderr, "monvert: %s\n", display.missing->c_str());
        m_ended = 1;
        return;
    }
    // One Monvert a display: a second start brings the first back and ends.
    if (display.reopened) {
        m_ended = 0;
        return;
    }
    m_native->application = std::make_unique<QApplication>(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Monvert"));
    QApplication::setApplicationVersion(QStringLiteral(MONVERT_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral("org.monvert.Monvert"));
    // Qt has taken its own options out of the list; anything left is not ours.
    if (QApplication::arguments().size() > 1) {
        const std::string argument = QApplication::arguments().at(1).toStdString();
        std::fputs(filledIn(translated("monvert: unknown argument '%s'\n"), {argument}).c_str(),
                   stderr);
        m_ended = 2;
        return;
    }
    reportPlacementLimits();
    loadToolkitTranslations();
    guardSession();
}

Application::~Application() = default;

int Application::Run()
{
    return QApplication::exec();
}

} // namespace Monvert::Forms
