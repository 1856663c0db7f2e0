// SPDX-License-Identifier: MIT
#include "convert/amount.h"

#include <array>
#include <charconv>
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

// Each currency's own marks, longest first so that "L." is not taken for "L"
// and a stray full stop.
constexpr std::array<std::u16string_view, 5> LireMarks{u"Lit."sv, u"ITL"sv, u"L."sv, u"L"sv,
                                                       u"\u20A4"sv};
constexpr std::array<std::u16string_view, 2> EuroMarks{u"EUR"sv, u"\u20AC"sv};

// One mark before or after the number, with or without a blank.
std::u16string_view stripMark(std::u16string_view text, Money money)
{
    const auto strip = [&text](const auto &marks) {
        for (const std::u16string_view mark : marks) {
            if (startsWith(text, mark))
                return text.substr(mark.size());
            if (endsWith(text, mark))
                return text.substr(0, text.size() - mark.size());
        }
        return text;
    };
    return money == Money::Lire ? strip(LireMarks) : strip(EuroMarks);
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

std::optional<Currency> ReadCurrency(std::u16string_view text, Money money,
                                     const NumberFormat &format)
{
    text = trimBlanks(stripMark(trimBlanks(text), money));

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

std::u16string_view trimBlanks(std::u16string_view text)
{
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
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

std::optional<Currency> readBoxText(std::u16string_view text, Money money,
                                    const NumberFormat &format)
{
    if (text.size() >= MaxTextLength)
        return ConversionFailed;
    if (money == Money::Euro && !text.empty() && text.front() == u'E') {
        const std::size_t blank = text.find(u' ');
        if (blank == std::u16string_view::npos)
            return ConversionFailed;
        text.remove_prefix(blank);
    }
    return ReadCurrency(text, money, format);
}

namespace {

// The magnitude of a count, which for the smallest one does not fit its own type.
std::uint64_t magnitude(std::int64_t count)
{
    return count < 0 ? 0 - std::uint64_t(count) : std::uint64_t(count);
}

std::int64_t withSign(std::uint64_t value, std::int64_t sign)
{
    return sign < 0 ? -std::int64_t(value) : std::int64_t(value);
}

} // namespace

// Ten-thousandths of a lira over 193627 are cents of a Euro: 10^4 x 1936.27 / 100.
std::int64_t euroCents(Currency lire)
{
    constexpr std::uint64_t divisor = 193'627;
    const std::uint64_t m = magnitude(lire.count);
    const std::uint64_t cents = m / divisor + (2 * (m % divisor) >= divisor ? 1 : 0);
    return withSign(cents, lire.count);
}

// Ten-thousandths of a Euro times 193627 are millionths of a lira. The product
// needs 81 bits; split at 10^6 it stays exact in 64: the high part gives whole
// Lire at once and only the low part's product is rounded.
std::int64_t wholeLire(Currency euro)
{
    constexpr std::uint64_t factor = 193'627;
    constexpr std::uint64_t million = 1'000'000;
    const std::uint64_t m = magnitude(euro.count);
    const std::uint64_t lire
        = m / million * factor + (m % million * factor + million / 2) / million;
    return withSign(lire, euro.count);
}

std::u16string FormatNumber(std::int64_t units, std::string_view pattern,
                            const NumberFormat &format)
{
    const std::size_t point = pattern.find('.');
    const std::size_t decimals = point == std::string_view::npos ? 0 : pattern.size() - point - 1;
    const bool grouping = pattern.find(',') != std::string_view::npos;

    std::array<char, 24> buffer{};
    const auto written
        = std::to_chars(buffer.data(), buffer.data() + buffer.size(), magnitude(units));
    std::string_view digits(buffer.data(), std::size_t(written.ptr - buffer.data()));
    // At least one digit before the decimals: 5 cents are 0,05.
    std::string padded;
    if (digits.size() < decimals + 1) {
        padded.assign(decimals + 1 - digits.size(), '0');
        padded += digits;
        digits = padded;
    }

    const std::string_view integer = digits.substr(0, digits.size() - decimals);
    std::u16string result;
    result.reserve(digits.size() + integer.size() / 3 * format.group.size() + 4);
    if (units < 0)
        result += format.negative;
    for (std::size_t i = 0; i < integer.size(); ++i) {
        if (grouping && i > 0 && (integer.size() - i) % 3 == 0)
            result += format.group;
        result += char16_t(integer[i]);
    }
    if (decimals > 0) {
        result += format.decimal;
        for (const char c : digits.substr(integer.size()))
            result += char16_t(c);
    }
    return result;
}

std::u16string euroDisplay(Currency lire, const NumberFormat &format)
{
    return std::u16string(EuroPrefix) + FormatNumber(euroCents(lire), EuroPattern, format);
}

std::u16string lireDisplay(Currency euro, const NumberFormat &format)
{
    return std::u16string(LirePrefix) + FormatNumber(wholeLire(euro), LirePattern, format);
}

} // namespace Monvert
