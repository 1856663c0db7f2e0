// SPDX-License-Identifier: MIT
#include "forms/qt/instance_posix.h"

#include "forms/form.h"
#include "forms/qt/dispatch.h"
#include "forms/qt/widgets.h"

#include <QObject>
#include <QSocketNotifier>
#include <QWidget>

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

// What a start asks for, a byte each, and the answer that it was taken.
constexpr char Reopen = 'R';
constexpr char FromLire = 'L';
constexpr char FromEuro = 'E';
constexpr char Taken = 'K';

// The socket's address: the runtime folder is the user's alone.
std::optional<sockaddr_un> address()
{
    const char *runtime = std::getenv("XDG_RUNTIME_DIR");
    const char *display = std::getenv("WAYLAND_DISPLAY");
    if (!runtime || !*runtime || !display || !*display)
        return std::nullopt;
    std::string name = display;
    name = name.substr(name.rfind('/') + 1);
    const std::string path = std::string(runtime) + "/monvert-" + name;
    sockaddr_un socket{};
    socket.sun_family = AF_UNIX;
    if (path.size() >= sizeof socket.sun_path)
        return std::nullopt;
    std::memcpy(socket.sun_path, path.c_str(), path.size() + 1);
    return socket;
}

char requestOf(std::optional<ClipboardCommand> command)
{
    return !command ? Reopen : *command == ClipboardCommand::FromLire ? FromLire : FromEuro;
}

// A byte within a few seconds, or none: a peer that says nothing holds no one.
bool readByte(int fd, char &byte)
{
    pollfd ready{fd, POLLIN, 0};
    return ::poll(&ready, 1, 5000) > 0 && ::read(fd, &byte, 1) == 1;
}

bool ask(const sockaddr_un &where, char request)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    char answer = 0;
    const bool taken = ::connect(fd, reinterpret_cast<const sockaddr *>(&where), sizeof where) == 0
        && ::write(fd, &request, 1) == 1 && readByte(fd, answer) && answer == Taken;
    ::close(fd);
    return taken;
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
        connect(notifier, &QSocketNotifier::activated, this, [this] { answer(); });
    }

    ~Listener() override
    {
        ::close(m_fd);
        ::unlink(m_path.c_str());
    }

private:
    void answer()
    {
        const int peer = ::accept4(m_fd, nullptr, nullptr, SOCK_CLOEXEC);
        if (peer < 0)
            return;
        char request = 0;
        if (readByte(peer, request)) {
            if (request == Reopen)
                m_form.BringBack();
            else if ((request == FromLire || request == FromEuro) && m_form.ConvertClipboard)
                dispatch(u"Form", "ConvertClipboard", [&] {
                    m_form.ConvertClipboard(request == FromLire ? ClipboardCommand::FromLire
                                                                : ClipboardCommand::FromEuro);
                });
            [[maybe_unused]] const auto written = ::write(peer, &Taken, 1);
        }
        ::close(peer);
    }

    Form &m_form;
    const int m_fd;
    const std::string m_path;
};

} // namespace

bool askOverSocket(std::optional<ClipboardCommand> command)
{
    const auto where = address();
    return where && ask(*where, requestOf(command));
}

bool listenOnSocket(Form &form, std::optional<ClipboardCommand> command)
{
    const auto where = address();
    if (!where)
        return true;
    for (int attempt = 0; attempt < 2; ++attempt) {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (fd < 0)
            return true;
        // Binding is the claim: of two starts at the same moment one binds.
        if (::bind(fd, reinterpret_cast<const sockaddr *>(&*where), sizeof *where) == 0
            && ::listen(fd, 8) == 0) {
            new Listener(form, fd, *where);
            return true;
        }
        ::close(fd);
        if (ask(*where, requestOf(command)))
            return false;
        // A socket left behind by a Monvert that ended: nobody listens.
        ::unlink(where->sun_path);
    }
    return true;
}

} // namespace Monvert::Forms
