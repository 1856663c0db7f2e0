// SPDX-License-Identifier: MIT
// Reads arbitrary text as an amount and formats arbitrary doubles; every amount
// that reads must format and read back to within the pattern's rounding.
#include "convert/amount.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

using namespace Monvert;

namespace {

const std::array<NumberFormat, 5> &formats()
{
    static const std::array<NumberFormat, 5> all{
        NumberFormat{u",", u".", u"-", u"+", u"\u20AC"}, // Italian
        NumberFormat{u".", u",", u"-", u"+", u"$"}, // English
        NumberFormat{u",", u"\u202F", u"-", u"+", u"\u20AC"}, // French
        NumberFormat{u".", u"\u2019", u"-", u"+", u"CHF"}, // Swiss
        NumberFormat{u",", u"\u00A0", u"\u2212", u"+", u"kr"}, // Swedish-like
    };
    return all;
}

// Bytes above 0x7F stand for characters that ASCII seeds cannot spell.
constexpr std::array<char16_t, 16> Unusual{
    u'\u00A0',        u'\u202F',        u'\u2019', u'\u20AC', u'\u2212', u'\u0665',
    char16_t(0xD800), char16_t(0xDC00), u'\uFFFF', u'\u200F', u'\u200E', u'\uFEFF',
    u'\u3000',        u'\u2007',        u'\0',     u'L'};

void check(bool condition, const char *what)
{
    if (!condition) {
        std::fprintf(stderr, "invariant broken: %s\n", what);
        std::abort();
    }
}

void formatAndReadBack(double value, const NumberFormat &format)
{
    for (const auto pattern : {EuroPattern, LirePattern}) {
        const std::u16string text = FormatNumber(value, pattern, format);
        if (!std::isfinite(value)) {
            check(text.empty(), "non-finite values format as nothing");
            continue;
        }
        // Beyond the fixed-point range nothing can read back.
        if (std::fabs(value) >= 9.2e14)
            continue;
        const auto read = ReadCurrency(text, format);
        check(read.has_value(), "a formatted amount reads back");
        const double step = pattern == EuroPattern ? 0.005 : 0.5;
        check(std::fabs(toDouble(*read) - value) <= step + std::fabs(value) * 1e-14,
              "a formatted amount reads back to within its rounding");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return 0;
    const NumberFormat &format = formats()[data[0] % formats().size()];
    ++data;
    --size;

    std::u16string text;
    text.reserve(size);
    for (std::size_t i = 0; i < size; ++i)
        text += data[i] < 0x80 ? char16_t(data[i]) : Unusual[data[i] & 0x0F];
    if (const auto read = ReadCurrency(text, format))
        formatAndReadBack(toDouble(*read), format);

    if (size >= sizeof(double)) {
        double value = 0;
        std::memcpy(&value, data, sizeof value);
        formatAndReadBack(value, format);
    }
    return 0;
}
