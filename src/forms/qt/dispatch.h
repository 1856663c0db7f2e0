// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <exception>
#include <utility>

namespace Monvert::Forms {

// The layer's default handling of a failure that escapes an event procedure:
// one line on standard error, and the program goes on answering events.
void reportUnhandled(const QString &procedure, const char *what) noexcept;

// Every event procedure runs through here. Letting an exception unwind through
// Qt's event delivery is undefined behaviour, so it stops at this frame.
template <typename Procedure>
void dispatch(const QString &control, const char *event, Procedure &&procedure) noexcept
{
    try {
        std::forward<Procedure>(procedure)();
    } catch (const std::exception &failure) {
        reportUnhandled(control + u'_' + QLatin1StringView(event), failure.what());
    } catch (...) {
        reportUnhandled(control + u'_' + QLatin1StringView(event), nullptr);
    }
}

} // namespace Monvert::Forms
