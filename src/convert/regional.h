// SPDX-License-Identifier: MIT
#pragma once

#include "convert/amount.h"

#include <QString>

#include <string_view>

class QLocale;

namespace Monvert {

[[nodiscard]] NumberFormat numberFormatFor(const QLocale &locale);

// The user's regional settings as Qt sees them (LC_ALL, LC_NUMERIC, LANG on Unix).
[[nodiscard]] NumberFormat regionalNumberFormat();

// A view of a QString's UTF-16 storage, for the toolkit-free amount rules.
[[nodiscard]] inline std::u16string_view utf16View(const QString &text)
{
    return {reinterpret_cast<const char16_t *>(text.utf16()), std::size_t(text.size())};
}

} // namespace Monvert
