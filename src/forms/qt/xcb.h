// SPDX-License-Identifier: MIT
#pragma once

// What the X11 implementation files share: replies from Qt's own xcb connection.
#include <xcb/xcb.h>

#include <array>
#include <cstdlib>
#include <memory>
#include <string_view>

namespace Monvert::Forms {

// xcb hands every reply over to be released with free().
template <typename Reply> using ReplyPtr = std::unique_ptr<Reply, decltype(&std::free)>;

template <typename Reply> ReplyPtr<Reply> owned(Reply *reply)
{
    return ReplyPtr<Reply>(reply, &std::free);
}

// The atoms of the names, XCB_ATOM_NONE for any the server refused: all
// requests first, then all replies, one round trip for them all.
template <std::size_t Count>
std::array<xcb_atom_t, Count> internAtoms(xcb_connection_t *connection,
                                          const std::array<std::string_view, Count> &names)
{
    std::array<xcb_intern_atom_cookie_t, Count> cookies{};
    for (std::size_t i = 0; i < Count; ++i)
        cookies[i]
            = xcb_intern_atom(connection, 0, std::uint16_t(names[i].size()), names[i].data());
    std::array<xcb_atom_t, Count> atoms{};
    for (std::size_t i = 0; i < Count; ++i) {
        const auto reply = owned(xcb_intern_atom_reply(connection, cookies[i], nullptr));
        atoms[i] = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    }
    return atoms;
}

} // namespace Monvert::Forms
