// SPDX-License-Identifier: MIT
#include "rules/amount.h"

#include "rules/utf8.h"

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

char16_t lowerAscii(char16_t c)
{
    return c >= u'A' && c <= u'Z' ? char16_t(c - u'A' + u'a') : c;
}

// Marks are written in any case: "L.", "l.", "EUR", "Euro", "euro".
bool sameLetters(std::u16string_view text, std::u16string_view mark)
{
    if (text.size() != mark.size())
        return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (lowerAscii(text[i]) != mark[i])
            return false;
    }
    return true;
}

bool startsWith(std::u16string_view text, std::u16string_view prefix)
{
    return !prefix.empty() && text.substr(0, prefix.size()) == prefix;
}

// Each currency's own marks and words, in lower case and longest first, so
// that "L." is not taken for "L" and a stray full stop. "£" is what Italian
// keyboards type for the lira; the pound has no business in either box.
constexpr std::array<std::u16string_view, 9> LireMarks{
    u"lire"sv, u"lira"sv, u"lit."sv, u"lit"sv, u"itl"sv, u"l."sv, u"l"sv, u"\u20A4"sv, u"\u00A3"sv};
constexpr std::array<std::u16string_view, 3> EuroMarks{u"euro"sv, u"eur"sv, u"\u20AC"sv};

// At most one mark, before or after the number, with or without a blank.
// Whatever else is left over is no number, so any other word or sign fails.
std::u16string_view stripMark(std::u16string_view text, Money money)
{
    // Most texts are bare numbers: a mark begins with a letter or a sign
    // outside ASCII, and ends with one or a full stop.
    const auto letterOrSign
        = [](char16_t c) { return (lowerAscii(c) >= u'a' && lowerAscii(c) <= u'z') || c >= 0xA0; };
    const bool before = !text.empty() && letterOrSign(text.front());
    const bool after = !text.empty() && (letterOrSign(text.back()) || text.back() == u'.');
    if (!before && !after)
        return text;
    const auto strip = [&](const auto &marks) {
        for (const std::u16string_view mark : marks) {
            if (text.size() < mark.size())
                continue;
            if (before && sameLetters(text.substr(0, mark.size()), mark))
                return text.substr(mark.size());
            if (after && sameLetters(text.substr(text.size() - mark.size()), mark))
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

namespace {

// What the decimals past the fourth add to a Lire product, from the last digit
// up as in long multiplication: 0.d5d6... x LireHundredthsPerEuro, whole part.
std::uint32_t restTimesRate(std::u16string_view digits)
{
    std::uint32_t carry = 0;
    for (auto it = digits.rbegin(); it != digits.rend(); ++it)
        carry = (std::uint32_t(*it - u'0') * LireHundredthsPerEuro + carry) / 10;
    return carry;
}

// The separator of a whole amount grouped by thousands with "." or ",", the
// same one throughout, each before exactly three digits: 10.000, 1,500,
// 1.000.000. Nothing otherwise.
char16_t thousandsSeparator(std::u16string_view text)
{
    std::size_t lead = 0;
    while (lead < text.size() && lead < 4 && isDigit(text[lead]))
        ++lead;
    if (lead == 0 || lead > 3 || text.front() == u'0' || lead == text.size())
        return 0;
    const char16_t separator = text[lead];
    if (separator != u'.' && separator != u',')
        return 0;
    for (std::size_t at = lead; at < text.size(); at += 4) {
        if (text.size() - at < 4 || text[at] != separator || !isDigit(text[at + 1])
            || !isDigit(text[at + 2]) || !isDigit(text[at + 3]))
            return 0;
    }
    return separator;
}

std::optional<Amount> readAmount(std::u16string_view text, Money money, const NumberFormat &format)
{
    text = trimBlanks(stripMark(trimBlanks(text), money));

    bool negative = false;
    // The keyboard's hyphen-minus and the typographic minus read everywhere.
    if (consume(text, format.negative) || consume(text, u"-") || consume(text, u"\u2212"))
        negative = true;
    else if (!consume(text, format.positive))
        consume(text, u"+");

    // The lira had no fractional amounts in use, so such a Lire text has one
    // meaning under any settings: a whole amount grouped that way ("L.
    // 10.000" under English settings, "L. 1,500" under Italian ones). Where
    // the user's own settings group that way too, they read it the same.
    std::optional<NumberFormat> lireGrouping;
    if (const char16_t separator = money == Money::Lire ? thousandsSeparator(text) : 0) {
        lireGrouping.emplace();
        lireGrouping->group = separator;
        lireGrouping->decimal = separator == u'.' ? u"," : u".";
    }
    const NumberFormat &rules = lireGrouping ? *lireGrouping : format;

    // Grouping separators count only where the display writes them: a tenfold
    // misreading of money (1.5 taken as 15) is worse than no reading at all.
    std::uint64_t whole = 0;
    const bool leadingZero = !text.empty() && text.front() == u'0';
    std::size_t digits = 0;
    while (!text.empty() && isDigit(text.front())) {
        if (!appendDigit(whole, text.front()))
            return std::nullopt;
        text.remove_prefix(1);
        ++digits;
    }
    const bool grouped = !startsWith(text, rules.decimal) && consumeGroupSeparator(text, rules);
    if (grouped) {
        if (digits < 1 || digits > 3 || leadingZero)
            return std::nullopt;
        do {
            std::size_t run = 0;
            while (run < 4 && !text.empty() && isDigit(text.front())) {
                if (!appendDigit(whole, text.front()))
                    return std::nullopt;
                text.remove_prefix(1);
                ++run;
            }
            if (run != 3)
                return std::nullopt;
            digits += run;
        } while (!startsWith(text, rules.decimal) && consumeGroupSeparator(text, rules));
    }

    // Four decimals make the Currency, the fifth rounding it half away from
    // zero; all of them make the rest.
    std::uint64_t fraction = 0;
    std::u16string_view beyond;
    if (consume(text, rules.decimal)) {
        std::size_t place = 0;
        while (place < text.size() && isDigit(text[place])) {
            if (place < 4)
                fraction = fraction * 10 + static_cast<std::uint64_t>(text[place] - u'0');
            ++place;
        }
        // Nor is a lone separator before exactly three digits ever a
        // thousandth of a lira, where the rule above does not read it (0.500).
        if (money == Money::Lire && !grouped && place == 3)
            return std::nullopt;
        for (std::size_t unwritten = place; unwritten < 4; ++unwritten)
            fraction *= 10;
        if (place > 4)
            beyond = text.substr(4, place - 4);
        text.remove_prefix(place);
        digits += place;
    }
    if (!text.empty() || digits == 0)
        return std::nullopt;

    const std::uint64_t limit = negative
        ? std::uint64_t(std::numeric_limits<std::int64_t>::max()) + 1
        : std::uint64_t(std::numeric_limits<std::int64_t>::max());
    if (whole > limit / 10000)
        return std::nullopt;
    const std::uint64_t cut = whole * 10000 + fraction;
    const bool roundUp = !beyond.empty() && beyond.front() >= u'5';
    if (fraction > limit - whole * 10000 || (roundUp ? 1 : 0) > limit - cut)
        return std::nullopt;
    // Two's complement wrap is defined since C++20 and maps 2^63 onto the minimum.
    const auto signedCount = [negative](std::uint64_t count) {
        return Currency{negative ? static_cast<std::int64_t>(~count + 1)
                                 : static_cast<std::int64_t>(count)};
    };
    return Amount{signedCount(cut + (roundUp ? 1 : 0)), signedCount(cut), restTimesRate(beyond)};
}

} // namespace

std::u16string_view trimBlanks(std::u16string_view text)
{
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

std::string_view trimBlanks(std::string_view utf8)
{
    // A malformed sequence reads as a replacement character, so an overlong
    // form of a space is no blank here, as it is none in a box.
    const auto blank = [](Character c) { return c.value < 0x10000 && isBlank(char16_t(c.value)); };
    for (Character c{}; !utf8.empty() && blank(c = firstUtf8(utf8));)
        utf8.remove_prefix(c.length);
    for (Character c{}; !utf8.empty() && blank(c = lastUtf8(utf8));)
        utf8.remove_suffix(c.length);
    return utf8;
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

std::optional<Amount> ReadCurrency(std::u16string_view text, Money money,
                                   const NumberFormat &format)
{
    if (text.size() >= MaxTextLength)
        return ConversionFailed;
    return readAmount(text, money, format);
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

// Ten-thousandths of a lira over LireHundredthsPerEuro are cents of a Euro: 10^4 x 1936.27 / 100.
std::int64_t euroCents(Currency lire)
{
    constexpr std::uint64_t divisor = LireHundredthsPerEuro;
    const std::uint64_t m = magnitude(lire.count);
    const std::uint64_t cents = m / divisor + (2 * (m % divisor) >= divisor ? 1 : 0);
    return withSign(cents, lire.count);
}

// Ten-thousandths of a Euro times LireHundredthsPerEuro are millionths of a lira. The product
// needs 81 bits; split at 10^6 it stays exact in 64: the high part gives whole
// Lire at once and only the low part's product is rounded.
// The rest of the digits past the fourth decimal, below LireHundredthsPerEuro millionths,
// joins the low part; the rounding then sees every digit written.
std::int64_t wholeLire(const Amount &euro)
{
    constexpr std::uint64_t factor = LireHundredthsPerEuro;
    constexpr std::uint64_t million = 1'000'000;
    const std::uint64_t m = magnitude(euro.cut.count);
    const std::uint64_t lire
        = m / million * factor + (m % million * factor + euro.rest + million / 2) / million;
    return withSign(lire, euro.cut.count);
}

std::int64_t wholeLire(Currency euro)
{
    return wholeLire(Amount{euro, euro, 0});
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

std::u16string lireDisplay(const Amount &euro, const NumberFormat &format)
{
    return std::u16string(LirePrefix) + FormatNumber(wholeLire(euro), LirePattern, format);
}

} // namespace Monvert
