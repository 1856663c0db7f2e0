// SPDX-License-Identifier: MIT
#include "rules/regional.h"

#include "rules/utf8.h"

#include <clocale>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include <langinfo.h>
#include <locale.h>

namespace Monvert {

namespace {

// The C library's text in the locale's own character set: UTF-8, or one byte
// a character (ISO 8859-1 and its kin, whose separators are ASCII or the
// no-break space all share).
std::u16string localeText(const char *text, bool utf8)
{
    std::u16string result;
    if (utf8) {
        decodeUtf8(text, result);
    } else {
        for (const char *c = text; *c; ++c)
            result += char16_t(static_cast<unsigned char>(*c));
    }
    return result;
}

// The separators are bytes in the character set of the numeric settings'
// own locale, which need not be the one LC_CTYPE names (LC_NUMERIC set
// alone, say): the name the C library takes for LC_NUMERIC, for both.
const char *numericLocaleName()
{
    for (const char *variable : {"LC_ALL", "LC_NUMERIC", "LANG"}) {
        const char *name = std::getenv(variable);
        if (name && *name)
            return name;
    }
    return "C";
}

} // namespace

NumberFormat regionalNumberFormat()
{
    NumberFormat format;
    // A locale object of its own: the process's global locale stays "C".
    locale_t user
        = newlocale(LC_NUMERIC_MASK | LC_CTYPE_MASK, numericLocaleName(), locale_t(nullptr));
    if (!user)
        user = newlocale(LC_NUMERIC_MASK | LC_CTYPE_MASK, "", locale_t(nullptr));
    if (!user)
        return format;
    const bool utf8 = std::string_view(nl_langinfo_l(CODESET, user)) == "UTF-8";
    const std::u16string decimal = localeText(nl_langinfo_l(RADIXCHAR, user), utf8);
    const std::u16string group = localeText(nl_langinfo_l(THOUSEP, user), utf8);
    freelocale(user);
    if (!decimal.empty())
        format.decimal = decimal;
    // The C and POSIX locales group with nothing; amounts are still grouped
    // there as they always were, with a comma.
    if (!group.empty() && group != decimal)
        format.group = group;
    return format;
}

} // namespace Monvert
