// SPDX-License-Identifier: MIT
#include "terminal/ready.h"

#include <cerrno>

#include <poll.h>
#include <unistd.h>

namespace Monvert::Terminal {

bool notReadyYet(int error)
{
    return error == EAGAIN || error == EWOULDBLOCK;
}

void waitUntilReady(int fd, Direction direction)
{
    pollfd wanted{fd, short(direction == Direction::Reading ? POLLIN : POLLOUT), 0};
    while (::poll(&wanted, 1, -1) < 0 && errno == EINTR) { }
}

long readInput(int fd, char *buffer, unsigned size)
{
    return long(::read(fd, buffer, size));
}

} // namespace Monvert::Terminal
