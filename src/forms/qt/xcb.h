// SPDX-License-Identifier: MIT
#pragma once

// What the X11 implementation files share: replies from Qt's own xcb connection.
#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>

namespace Monvert::Forms {

// xcb hands every reply over to be released with free().
template <typename Reply> using ReplyPtr = std::unique_ptr<Reply, decltype(&std::free)>;

template <typename Reply> ReplyPtr<Reply> owned(Reply *reply)
{
    return ReplyPtr<Reply>(reply, &std::free);
}

} // namespace Monvert::Forms
