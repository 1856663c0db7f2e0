// SPDX-License-Identifier: MIT
#include "convert/amount.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

namespace Monvert {

namespace {

using namespace std::string_view_literals;

constexpr char16_t NoBreakSpace = u'\u00A0';
constexpr char16_t NarrowNoBreakSpace = u'\u202F';
constexpr char16_t RightSingleQuote = u'\u2019';

// Amounts copied from spreadsheets and web pages arrive padded with these.
bool isBlank(char16_t c)
{
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == NoBreakSpace
        || c == NarrowNoBreakSpace;
}

bool isDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

bool startsWith(std::u16string_view text, std::u16string_view prefix)
{
    return !prefix.empty() && text.substr(0, prefix.size()) == prefix;
}

bool endsWith(std::u16string_view text, std::u16string_view suffix)
{
    return !suffix.empty() && text.size() >= suffix.size()
        && text.substr(text.size() - suffix.size()) == suffix;
}

std::u16string_view trimBlanks(std::u16string_view text)
{
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

// The Lire box displays "L. 9.681"; accepting the lira symbol lets a user edit
// that text in place and have it read back.
std::u16string_view stripCurrencySymbol(std::u16string_view text, const NumberFormat &format)
{
    for (const std::u16string_view symbol : {std::u16string_view(format.currencySymbol), u"L."sv}) {
        if (startsWith(text, symbol)) {
            text.remove_prefix(symbol.size());
            if (!text.empty() && isBlank(text.front()))
                text.remove_prefix(1);
            return text;
        }
        if (endsWith(text, symbol)) {
            text.remove_suffix(symbol.size());
            if (!text.empty() && isBlank(text.back()))
                text.remove_suffix(1);
            return text;
        }
    }
    return text;
}

bool consume(std::u16string_view &text, std::u16string_view token)
{
    if (!startsWith(text, token))
        return false;
    text.remove_prefix(token.size());
    return true;
}

// Where the locale groups with a no-break space, people type a plain one; where
// it groups with a typographic apostrophe, they type the straight one.
bool consumeGroupSeparator(std::u16string_view &text, const NumberFormat &format)
{
    if (consume(text, format.group))
        return true;
    if (format.group.size() != 1 || text.empty())
        return false;
    const char16_t group = format.group.front();
    const char16_t c = text.front();
    const bool alike = ((group == NoBreakSpace || group == NarrowNoBreakSpace)
                        && (c == u' ' || c == NoBreakSpace || c == NarrowNoBreakSpace))
        || (group == RightSingleQuote && c == u'\'');
    if (alike)
        text.remove_prefix(1);
    return alike;
}

// Appends one decimal digit; false once the value leaves 64 bits.
bool appendDigit(std::uint64_t &value, char16_t digit)
{
    const auto d = static_cast<std::uint64_t>(digit - u'0');
    if (value > (std::numeric_limits<std::uint64_t>::max() - d) / 10)
        return false;
    value = value * 10 + d;
    return true;
}

} // namespace

std::optional<Currency> ReadCurrency(std::u16string_view text, const NumberFormat &format)
{
    text = trimBlanks(stripCurrencySymbol(trimBlanks(text), format));

    bool negative = false;
    if (consume(text, format.negative) || consume(text, u"-"))
        negative = true;
    else if (!consume(text, format.positive))
        consume(text, u"+");

    // Grouping separators count only where the display writes them: a tenfold
    // misreading of money (1.5 taken as 15) is worse than no reading at all.
    std::uint64_t whole = 0;
    const bool leadingZero = !text.empty() && text.front() == u'0';
    std::size_t digits = 0;
    while (!text.empty() && isDigit(text.front())) {
        if (!appendDigit(whole, text.front()))
            return ConversionFailed;
        text.remove_prefix(1);
        ++digits;
    }
    if (startsWith(text, format.decimal) || !consumeGroupSeparator(text, format)) {
        // Ungrouped integer part, or none at all.
    } else {
        if (digits < 1 || digits > 3 || leadingZero)
            return ConversionFailed;
        do {
            std::size_t run = 0;
            while (run < 4 && !text.empty() && isDigit(text.front())) {
                if (!appendDigit(whole, text.front()))
                    return ConversionFailed;
                text.remove_prefix(1);
                ++run;
            }
            if (run != 3)
                return ConversionFailed;
            digits += run;
        } while (!startsWith(text, format.decimal) && consumeGroupSeparator(text, format));
    }

    // Four decimals are kept; the fifth rounds half away from zero, and any
    // further digits only have to be digits.
    std::uint64_t fraction = 0;
    bool roundUp = false;
    if (consume(text, format.decimal)) {
        std::size_t place = 0;
        while (!text.empty() && isDigit(text.front())) {
            if (place < 4)
                fraction = fraction * 10 + static_cast<std::uint64_t>(text.front() - u'0');
            else if (place == 4)
                roundUp = text.front() >= u'5';
            text.remove_prefix(1);
            ++place;
        }
        for (std::size_t unwritten = place; unwritten < 4; ++unwritten)
            fraction *= 10;
        digits += place;
    }
    if (!text.empty() || digits == 0)
        return ConversionFailed;

    const std::uint64_t limit = negative
        ? std::uint64_t(std::numeric_limits<std::int64_t>::max()) + 1
        : std::uint64_t(std::numeric_limits<std::int64_t>::max());
    if (whole > limit / 10000)
        return ConversionFailed;
    std::uint64_t count = whole * 10000;
    const std::uint64_t tail = fraction + (roundUp ? 1 : 0);
    if (tail > limit - count)
        return ConversionFailed;
    count += tail;
    // Two's complement wrap is defined since C++20 and maps 2^63 onto the minimum.
    return Currency{negative ? static_cast<std::int64_t>(~count + 1)
                             : static_cast<std::int64_t>(count)};
}

double toDouble(Currency value)
{
    // Below 2^53 both the count and 10000 are exact, so one division rounds once.
    constexpr std::int64_t exactLimit = std::int64_t(1) << 53;
    if (value.count > -exactLimit && value.count < exactLimit)
        return static_cast<double>(value.count) / 10000.0;
    // Larger counts would round twice on that road; parse the decimal instead.
    std::array<char, 32> buffer{};
    auto [end, ec] = std::to_chars(buffer.data(), buffer.data() + buffer.size() - 4, value.count);
    (void)ec;
    for (const char c : {'e', '-', '4'})
        *end++ = c;
    double result = 0;
    std::from_chars(buffer.data(), end, result);
    return result;
}

std::u16string FormatNumber(double value, std::string_view pattern, const NumberFormat &format)
{
    if (!std::isfinite(value))
        return {};
    const std::size_t point = pattern.find('.');
    const std::size_t decimals = point == std::string_view::npos ? 0 : pattern.size() - point - 1;
    const bool grouping = pattern.find(',') != std::string_view::npos;

    // A double carries 15 significant decimal digits safely; rounding that
    // decimal form, not the binary value, makes an exact half such as
    // 50 x 1936.27 = 96813.5 round up, as the euro conversion rules require.
    std::array<char, 32> scientific{};
    const auto written = std::to_chars(scientific.data(), scientific.data() + scientific.size(),
                                       std::fabs(value), std::chars_format::scientific, 14);
    const std::string_view sci(scientific.data(), std::size_t(written.ptr - scientific.data()));
    std::string mantissa;
    mantissa.reserve(15);
    mantissa += sci[0];
    mantissa.append(sci.substr(2, 14));
    int exponent = 0;
    const std::string_view exponentText = sci.substr(sci.find('e') + 1);
    std::from_chars(exponentText.data() + (exponentText.front() == '+' ? 1 : 0),
                    exponentText.data() + exponentText.size(), exponent);

    // The mantissa's digits times 10^shift is the value scaled by 10^decimals.
    const int shift = exponent - 14 + int(decimals);
    std::string scaled;
    if (shift >= 0) {
        scaled = mantissa;
        scaled.append(std::size_t(shift), '0');
    } else {
        const std::size_t dropped = std::size_t(-shift);
        if (dropped <= mantissa.size()) {
            scaled = mantissa.substr(0, mantissa.size() - dropped);
            if (mantissa[mantissa.size() - dropped] >= '5') {
                auto digit = scaled.rbegin();
                for (; digit != scaled.rend() && *digit == '9'; ++digit)
                    *digit = '0';
                if (digit == scaled.rend())
                    scaled.insert(scaled.begin(), '1');
                else
                    ++*digit;
            }
        }
    }
    const std::size_t significant = scaled.find_first_not_of('0');
    const bool zero = significant == std::string::npos;
    scaled.erase(0, zero ? scaled.size() : significant);
    if (scaled.size() < decimals + 1)
        scaled.insert(0, decimals + 1 - scaled.size(), '0');

    const std::string_view integer(scaled.data(), scaled.size() - decimals);
    std::u16string result;
    result.reserve(scaled.size() + scaled.size() / 3 * format.group.size() + 4);
    // A value that rounds to zero is shown as zero, never as minus zero.
    if (std::signbit(value) && !zero)
        result += format.negative;
    for (std::size_t i = 0; i < integer.size(); ++i) {
        if (grouping && i > 0 && (integer.size() - i) % 3 == 0)
            result += format.group;
        result += char16_t(integer[i]);
    }
    if (decimals > 0) {
        result += format.decimal;
        for (const char c : std::string_view(scaled).substr(integer.size()))
            result += char16_t(c);
    }
    return result;
}

} // namespace Monvert
