// SPDX-License-Identifier: MIT
#include "forms/qt/instance_posix.h"

#include "forms/form.h"
#include "forms/qt/dispatch.h"
#include "forms/qt/widgets.h"

#include <QGuiApplication>
#include <QObject>
#include <QSocketNotifier>
#include <QTimer>
#include <QWidget>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace Monvert::Forms {

namespace {

// What a start asks for, a byte each; the answer is the outcome, packed,
// up to the end of the connection.
constexpr char Reopen = 'R';
constexpr char FromLire = 'L';
constexpr char FromEuro = 'E';

// A peer that has not said what it wants by then is let go.
constexpr int PeerPatienceMs = 2000;

char requestOf(std::optional<ClipboardCommand> command)
{
    return !command ? Reopen : *command == ClipboardCommand::FromLire ? FromLire : FromEuro;
}

// The rest of the answer, up to the end of the connection or the deadline.
std::string answerOf(int fd)
{
    const auto deadline
        = std::chrono::steady_clock::now() + std::chrono::seconds(OutcomeWaitSeconds);
    std::string answer;
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd ready{fd, POLLIN, 0};
        if (left.count() <= 0 || ::poll(&ready, 1, int(left.count())) <= 0)
            return {};
        char bytes[512];
        const ssize_t got = ::read(fd, bytes, sizeof bytes);
        if (got == 0)
            return answer;
        if (got < 0 && errno != EINTR)
            return {};
        if (got > 0)
            answer.append(bytes, std::size_t(got));
        if (answer.size() > 4096)
            return {};
    }
}

// A connection to whoever listens there, or -1 with errno saying why. A
// listener whose queue is full makes a connect wait: for a few seconds.
int connectedTo(const sockaddr_un &where)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    const timeval patience{PeerPatienceMs / 1000, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &patience, sizeof patience);
    if (::connect(fd, reinterpret_cast<const sockaddr *>(&where), sizeof where) == 0)
        return fd;
    const int error = errno;
    ::close(fd);
    errno = error;
    return -1;
}

// Whoever listens there: what it said, or nothing when nobody listens.
std::optional<ClipboardOutcome> ask(const sockaddr_un &where, char request)
{
    const int fd = connectedTo(where);
    if (fd < 0)
        return std::nullopt;
    // A window that listens is there, whatever it answers.
    std::optional<ClipboardOutcome> outcome;
    if (::send(fd, &request, 1, MSG_NOSIGNAL) == 1)
        outcome = unpacked(answerOf(fd));
    ::close(fd);
    return outcome.value_or(ClipboardOutcome{});
}

class Listener final : public QObject
{
public:
    Listener(Form &form, int fd, const sockaddr_un &where)
        : QObject(widgetOf(form))
        , m_form(form)
        , m_fd(fd)
        , m_path(where.sun_path)
    {
        auto *notifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
        connect(notifier, &QSocketNotifier::activated, this, [this] { acceptAll(); });
    }

    ~Listener() override
    {
        ::close(m_fd);
        ::unlink(m_path.c_str());
    }

private:
    // Each peer is read when it has written, never waited for: a client that
    // connects and says nothing holds nobody up.
    void acceptAll()
    {
        for (;;) {
            const int peer = ::accept4(m_fd, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
            if (peer < 0)
                return;
            auto *notifier = new QSocketNotifier(peer, QSocketNotifier::Read, this);
            auto *patience = new QTimer(notifier);
            patience->setSingleShot(true);
            // Once, either way: the descriptor is not watched or used again
            // once it is closed, and may be another's by then.
            const auto done = [notifier, patience, peer] {
                patience->stop();
                notifier->setEnabled(false);
                ::close(peer);
                notifier->deleteLater();
            };
            connect(patience, &QTimer::timeout, notifier, done);
            connect(notifier, &QSocketNotifier::activated, this,
                    [this, notifier, patience, peer, done] {
                        // A conversion may wait on a slow clipboard longer than
                        // the peer's patience: it is past waiting now.
                        patience->stop();
                        notifier->setEnabled(false);
                        char request = 0;
                        if (::read(peer, &request, 1) == 1)
                            answer(peer, request);
                        done();
                    });
            patience->start(PeerPatienceMs);
        }
    }

    // Only the requests a start makes are taken; anything else is closed
    // unanswered. A peer gone meanwhile costs nothing: no SIGPIPE.
    void answer(int peer, char request)
    {
        ClipboardOutcome outcome{ClipboardOutcome::Converted, {}};
        if (request == Reopen)
            m_form.BringBack();
        else if (request == FromLire || request == FromEuro)
            outcome = convertAsAsked(m_form,
                                     request == FromLire ? ClipboardCommand::FromLire
                                                         : ClipboardCommand::FromEuro);
        else
            return;
        const std::string bytes = packed(outcome);
        [[maybe_unused]] const auto sent
            = ::send(peer, bytes.data(), bytes.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
    }

    Form &m_form;
    const int m_fd;
    const std::string m_path;
};

} // namespace

std::optional<sockaddr_un> socketAddress()
{
    const char *display = std::getenv("WAYLAND_DISPLAY");
    if (!display || !*display)
        display = "wayland-0";
    // An absolute name is that socket: the window's own is beside it.
    std::string path = display;
    if (path[0] != '/') {
        const char *runtime = std::getenv("XDG_RUNTIME_DIR");
        if (!runtime || !*runtime)
            return std::nullopt;
        path = std::string(runtime) + '/' + path;
    }
    const std::size_t slash = path.rfind('/');
    path.insert(slash + 1, "monvert-");
    sockaddr_un socket{};
    socket.sun_family = AF_UNIX;
    if (path.size() >= sizeof socket.sun_path)
        return std::nullopt;
    std::memcpy(socket.sun_path, path.c_str(), path.size() + 1);
    return socket;
}

ClipboardOutcome convertAsAsked(Form &form, ClipboardCommand command)
{
    // A Wayland compositor offers the clipboard to the focused client alone:
    // read without the focus, it would be the old one, or none.
    if (QGuiApplication::platformName().startsWith(QLatin1StringView("wayland"))
        && !QGuiApplication::focusWindow())
        return {ClipboardOutcome::NoFocus, {}};
    ClipboardOutcome outcome;
    if (form.ConvertClipboard)
        dispatch(u"Form", "ConvertClipboard", [&] { outcome = form.ConvertClipboard(command); });
    return outcome;
}

std::optional<ClipboardOutcome> askOverSocket(std::optional<ClipboardCommand> command)
{
    const auto where = socketAddress();
    return where ? ask(*where, requestOf(command)) : std::nullopt;
}

bool listenOnSocket(Form &form)
{
    const auto where = socketAddress();
    if (!where)
        return true;
    for (int attempt = 0; attempt < 2; ++attempt) {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        if (fd < 0)
            return true;
        // Binding is the claim: of two starts at the same moment one binds.
        if (::bind(fd, reinterpret_cast<const sockaddr *>(&*where), sizeof *where) == 0
            && ::listen(fd, 16) == 0) {
            new Listener(form, fd, *where);
            return true;
        }
        ::close(fd);
        // A window that accepts connections is a window, however busy; only a
        // socket nobody listens on, left by a Monvert that ended, is taken.
        const int probe = connectedTo(*where);
        if (probe >= 0) {
            ::close(probe);
            return false;
        }
        if (errno != ECONNREFUSED)
            return true; // no claim to be had here: a window all the same
        ::unlink(where->sun_path);
    }
    return true;
}

} // namespace Monvert::Forms
