// SPDX-License-Identifier: MIT
#pragma once

// What the Qt controls share about their events: the shift state, and the
// event procedures run through the layer's one dispatch (forms/failures.h).
#include "forms/failures.h"

#include <QString>
#include <Qt>

#include <cstdint>
#include <string_view>

namespace Monvert::Forms {

// The Shift argument of the key and mouse procedures: 1 for Shift, 2 for
// Ctrl, 4 for Alt, added up.
inline std::int16_t shiftState(Qt::KeyboardModifiers modifiers)
{
    return std::int16_t((modifiers & Qt::ShiftModifier ? 1 : 0)
                        | (modifiers & Qt::ControlModifier ? 2 : 0)
                        | (modifiers & Qt::AltModifier ? 4 : 0));
}

// A control's name as the dispatch takes it; the text lives as long as the
// QString it is seen through.
inline std::u16string_view utf16(const QString &text)
{
    return {reinterpret_cast<const char16_t *>(text.utf16()), std::size_t(text.size())};
}

} // namespace Monvert::Forms
