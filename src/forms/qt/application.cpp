// SPDX-License-Identifier: MIT
#include "forms/application.h"

#include "forms/qt/display_wayland.h"
#include "forms/qt/instance_posix.h"
#include "forms/qt/instance_xcb.h"
#include "forms/qt/process_posix.h"
#include "forms/qt/session_xcb.h"
#include "forms/qt/translations.h"
#include "rules/messages.h"

#include "forms/qt/widgets.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <cstdio>
#include <memory>
#include <string>

namespace Monvert::Forms {

struct Application::Native
{
    std::unique_ptr<QApplication> application;
    int waiting = -1; // tells whoever waits for the window to take a conversion
    std::string display; // the X11 display, to ask the Monvert that claimed it first

    // What came of the start's conversion, for whoever started the program,
    // or for its standard error when nobody waits.
    void tell(const ClipboardOutcome &outcome)
    {
        if (waiting >= 0)
            tellWaiting(waiting, &outcome);
        else
            std::fputs(outcomeLine(outcome).c_str(), stderr);
    }
};

namespace {

bool onWayland()
{
    return QGuiApplication::platformName().startsWith(QLatin1StringView("wayland"));
}

} // namespace

Application::Application(int &argc, char **argv)
    : m_native(std::make_unique<Native>())
    , m_options(takeWindowOptions(argc, argv))
{
    choosePlatformBeforeStart();
    const DisplayCheck display = checkDisplay(m_options);
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
    // convert the clipboard and says what came of it, and ends.
    if (display.asked) {
        const std::string line = m_options.convert ? outcomeLine(*display.asked) : std::string();
        std::fputs(line.c_str(), stderr);
        if (!m_options.shortcuts.empty())
            std::fputs(runsWithItsOwnShortcuts(), stderr);
        m_ended = line.empty() ? 0 : 1;
        return;
    }
    m_native->display = display.display;
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
    tellWaiting(m_native->waiting, nullptr);
}

bool Application::claimInstance(Form &form)
{
    const bool wayland = onWayland();
    if (wayland ? listenOnSocket(form) : claimDisplay(form))
        return true;
    // Another start took the display meanwhile: it is asked instead.
    const auto outcome = wayland ? askOverSocket(m_options.convert)
                                 : askRunningInstance(m_native->display, m_options.convert);
    m_native->tell(outcome.value_or(ClipboardOutcome{}));
    return false;
}

void Application::ConvertForStart(Form &form)
{
    const ClipboardCommand command = *m_options.convert;
    // A new window on Wayland has the keyboard focus once the compositor
    // gives it, if it does: the conversion waits for it, a little.
    if (!onWayland() || QGuiApplication::focusWindow()) {
        m_native->tell(convertAsAsked(form, command));
        return;
    }
    auto *patience = new QTimer(widgetOf(form));
    patience->setSingleShot(true);
    const auto told = std::make_shared<bool>(false);
    const auto convert = [this, &form, command, patience, told] {
        if (*told)
            return;
        *told = true;
        patience->deleteLater();
        m_native->tell(convertAsAsked(form, command));
    };
    QObject::connect(patience, &QTimer::timeout, patience, convert);
    QObject::connect(qGuiApp, &QGuiApplication::focusWindowChanged, patience, convert);
    patience->start(2000);
}

int Application::Run()
{
    return QApplication::exec();
}

} // namespace Monvert::Forms
