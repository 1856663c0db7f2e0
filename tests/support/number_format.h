// SPDX-License-Identifier: MIT
#pragma once

// Qt's locales and text in the amount rules' plain types, for the tests,
// fuzzers and benchmarks: the program itself reads the regional settings
// from the system (rules/regional.h).
#include "rules/amount.h"

#include <QLocale>
#include <QString>

#include <string_view>

namespace Monvert {

// The separators Qt's data gives a locale.
[[nodiscard]] inline NumberFormat numberFormatFor(const QLocale &locale)
{
    return NumberFormat{
        .decimal = locale.decimalPoint().toStdU16String(),
        .group = locale.groupSeparator().toStdU16String(),
        .negative = locale.negativeSign().toStdU16String(),
        .positive = locale.positiveSign().toStdU16String(),
    };
}

// A view of a QString's UTF-16 storage.
[[nodiscard]] inline std::u16string_view utf16View(const QString &text)
{
    return {reinterpret_cast<const char16_t *>(text.utf16()), std::size_t(text.size())};
}

} // namespace Monvert
