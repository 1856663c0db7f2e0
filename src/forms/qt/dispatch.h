// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <Qt>

#include <cstdint>
#include <exception>
#include <utility>

namespace Monvert::Forms {

// The Shift argument of the key and mouse procedures: 1 for Shift, 2 for
// Ctrl, 4 for Alt, added up.
inline std::int16_t shiftState(Qt::KeyboardModifiers modifiers)
{
    return std::int16_t((modifiers & Qt::ShiftModifier ? 1 : 0)
                        | (modifiers & Qt::ControlModifier ? 2 : 0)
                        | (modifiers & Qt::AltModifier ? 4 : 0));
}

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
