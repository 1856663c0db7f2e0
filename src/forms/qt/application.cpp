// SPDX-License-Identifier: MIT
#include "forms/application.h"

#include "forms/qt/display_wayland.h"
#include "forms/qt/instance_posix.h"
#include "forms/qt/instance_xcb.h"
#include "forms/qt/process_posix.h"
#include "forms/qt/session_xcb.h"
#include "forms/qt/translations.h"
#include "rules/messages.h"

#include <QApplication>

#include <cstdio>
#include <memory>

namespace Monvert::Forms {

struct Application::Native
{
    std::unique_ptr<QApplication> application;
    int waiting = -1; // tells whoever waits for the window to take a conversion
};

Application::Application(int &argc, char **argv)
    : m_native(std::make_unique<Native>())
    , m_options(takeWindowOptions(argc, argv))
{
    choosePlatformBeforeStart();
    const DisplayCheck display = checkDisplay(argc, argv, m_options.convert);
    if (display.missing) {
        std::fputs(m_options.convert
                       ? filledIn(translated("monvert: no window could be reached to convert the "
                                             "clipboard: %s\n"),
                                  {*display.missing})
                             .c_str()
                       : ("monvert: " + *display.missing + "\n").c_str(),
                   stderr);
        m_ended = 1;
        return;
    }
    // One Monvert a display: a second start brings the first back, or has it
    // convert the clipboard, and ends.
    if (display.reopened) {
        m_ended = 0;
        return;
    }
    if (m_options.convert)
        m_native->waiting = continueInBackground();
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

Application::~Application()
{
    tellWaiting(m_native->waiting, false);
}

bool Application::claimInstance(Form &form)
{
    const bool wayland = QGuiApplication::platformName().startsWith(QLatin1StringView("wayland"));
    if (wayland ? listenOnSocket(form, m_options.convert) : claimDisplay(form, m_options.convert))
        return true;
    // Another start took the display meanwhile, and was asked instead.
    tellWaiting(m_native->waiting, true);
    return false;
}

int Application::Run()
{
    tellWaiting(m_native->waiting, true);
    return QApplication::exec();
}

} // namespace Monvert::Forms
