// SPDX-License-Identifier: MIT
#include "rules/regional.h"

#include <windows.h>

#include <array>

namespace Monvert {

namespace {

// GetNumberFormatEx with the defaults groups only once under Wine 8, and the
// separators are all the amount rules need; they are asked for one by one.
std::u16string localeText(LCTYPE what)
{
    std::array<wchar_t, 16> buffer{};
    const int length
        = GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, what, buffer.data(), int(buffer.size()));
    if (length <= 1)
        return {};
    return std::u16string(buffer.data(), buffer.data() + length - 1);
}

} // namespace

NumberFormat regionalNumberFormat()
{
    NumberFormat format;
    if (const std::u16string decimal = localeText(LOCALE_SDECIMAL); !decimal.empty())
        format.decimal = decimal;
    if (const std::u16string group = localeText(LOCALE_STHOUSAND);
        !group.empty() && group != format.decimal)
        format.group = group;
    if (const std::u16string negative = localeText(LOCALE_SNEGATIVESIGN); !negative.empty())
        format.negative = negative;
    return format;
}

} // namespace Monvert
