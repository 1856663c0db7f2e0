// SPDX-License-Identifier: MIT
#include "forms/qt/process_posix.h"

#include "forms/qt/waits.h"
#include "rules/messages.h"

#include <QCoreApplication>
#include <QObject>
#include <QSocketNotifier>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <string>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace Monvert::Forms {

namespace {

int signalPipe[2] = {-1, -1};

extern "C" void onQuitSignal(int)
{
    // Waiting on another program's clipboard, which may never answer: the
    // clipboard is not ours then, so there is nothing to hand over.
    if (readingClipboard)
        _exit(0);
    const int saved = errno;
    const char byte = 1;
    // Nothing else is safe in a signal handler; the event loop does the rest.
    [[maybe_unused]] const auto written = ::write(signalPipe[1], &byte, 1);
    errno = saved;
}

} // namespace

void quitOnSignals(QObject *parent)
{
    if (::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    auto *notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, parent);
    QObject::connect(notifier, &QSocketNotifier::activated, parent, [] {
        char bytes[16];
        while (::read(signalPipe[0], bytes, sizeof bytes) > 0) { }
        QCoreApplication::quit();
    });
    struct sigaction action = {};
    action.sa_handler = onQuitSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : {SIGTERM, SIGINT, SIGHUP})
        sigaction(signal, &action, nullptr);
    // A start that gave up waiting, or a client of the window's socket that
    // hung up early, must not end the window when it is answered.
    std::signal(SIGPIPE, SIG_IGN);
}

int continueInBackground()
{
    int channel[2];
    if (::pipe2(channel, O_CLOEXEC) != 0)
        return -1;
    const pid_t window = ::fork();
    if (window < 0) {
        ::close(channel[0]);
        ::close(channel[1]);
        return -1;
    }
    if (window == 0) {
        ::close(channel[0]);
        // Out of the caller's session, so that closing its terminal does not end the window.
        ::setsid();
        return channel[1];
    }
    ::close(channel[1]);
    // A minute for a window to start on a busy machine, and then as long as
    // it may wait on the clipboard; a window that ends first closes the channel.
    const auto deadline
        = std::chrono::steady_clock::now() + std::chrono::seconds(60 + OutcomeWaitSeconds);
    std::string told;
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd ready{channel[0], POLLIN, 0};
        if (left.count() <= 0 || ::poll(&ready, 1, int(left.count())) <= 0)
            break;
        char bytes[512];
        const ssize_t got = ::read(channel[0], bytes, sizeof bytes);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0 || told.size() > 4096)
            break;
        told.append(bytes, std::size_t(got));
    }
    const auto outcome = unpacked(told);
    if (!outcome)
        std::fputs(translated("monvert: the window did not start to convert the clipboard\n"),
                   stderr);
    else
        std::fputs(outcomeLine(*outcome).c_str(), stderr);
    ::_exit(outcome && outcome->kind == ClipboardOutcome::Converted ? 0 : 1);
}

void tellWaiting(int &waiting, const ClipboardOutcome *outcome)
{
    if (waiting < 0)
        return;
    if (outcome) {
        const std::string bytes = packed(*outcome);
        if (::write(waiting, bytes.data(), bytes.size()) != ssize_t(bytes.size())) {
            // The waiting process is gone: nobody to tell.
        }
    }
    ::close(waiting);
    waiting = -1;
    // Whoever reads what the caller wrote waits for every writer to close.
    const int nothing = ::open("/dev/null", O_RDWR | O_CLOEXEC);
    for (const int stream : {0, 1, 2})
        ::dup2(nothing, stream);
    ::close(nothing);
}

} // namespace Monvert::Forms
