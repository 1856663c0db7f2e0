// SPDX-License-Identifier: MIT
#pragma once

#include <exception>
#include <string>
#include <string_view>
#include <utility>

namespace Monvert::Forms {

// The line that tells of a failure escaping an event procedure
// ("Text1_Change"), in the user's language, as both implementations report
// it: Qt on standard error, Windows to the debugger.
[[nodiscard]] std::string unhandledLine(std::string_view procedure, const char *what) noexcept;

// The layer's default handling of a failure that escapes an event procedure:
// that line, and the program goes on answering events. Each implementation
// has its own.
void reportUnhandled(std::u16string_view control, const char *event, const char *what) noexcept;

// Every event procedure runs through here: a failure that escapes one must
// not unwind through the window system's event delivery, which is undefined
// behaviour under Qt and the system's own code on Windows.
template <typename Procedure>
void dispatch(std::u16string_view control, const char *event, Procedure &&procedure) noexcept
{
    try {
        std::forward<Procedure>(procedure)();
    } catch (const std::exception &failure) {
        reportUnhandled(control, event, failure.what());
    } catch (...) {
        reportUnhandled(control, event, nullptr);
    }
}

} // namespace Monvert::Forms
