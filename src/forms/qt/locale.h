// SPDX-License-Identifier: MIT
#pragma once

#include "rules/amount.h"

#include <QString>

#include <string_view>

class QLocale;

// Qt's text and locales in the amount rules' plain types.
namespace Monvert {

// The separators Qt's data gives a locale.
[[nodiscard]] NumberFormat numberFormatFor(const QLocale &locale);

// A view of a QString's UTF-16 storage.
[[nodiscard]] inline std::u16string_view utf16View(const QString &text)
{
    return {reinterpret_cast<const char16_t *>(text.utf16()), std::size_t(text.size())};
}

} // namespace Monvert
