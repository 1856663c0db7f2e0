// SPDX-License-Identifier: MIT
// Reads arbitrary text as an amount and converts arbitrary counts over the
// whole fixed-point range. Every conversion is checked against a reference
// that works another way, on decimal digit strings: schoolbook long division
// and multiplication, for amounts of four and of eighteen decimals. Every
// display text must read back to its amount.
#include "rules/amount.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

using namespace Monvert;

namespace {

const std::array<NumberFormat, 5> &formats()
{
    static const std::array<NumberFormat, 5> all{
        NumberFormat{u",", u".", u"-", u"+"}, // Italian
        NumberFormat{u".", u",", u"-", u"+"}, // English
        NumberFormat{u",", u"\u202F", u"-", u"+"}, // French
        NumberFormat{u".", u"\u2019", u"-", u"+"}, // Swiss
        NumberFormat{u",", u"\u00A0", u"\u2212", u"+"}, // Swedish-like
    };
    return all;
}

// Bytes above 0x7F stand for characters that ASCII seeds cannot spell.
constexpr std::array<char16_t, 16> Unusual{
    u'\u00A0',        u'\u202F',        u'\u2019', u'\u20AC', u'\u2212', u'\u0665',
    char16_t(0xD800), char16_t(0xDC00), u'\uFFFF', u'\u200F', u'\u20A4', u'\uFEFF',
    u'\u3000',        u'\u2007',        u'\0',     u'L'};

void check(bool condition, const char *what)
{
    if (!condition) {
        std::fprintf(stderr, "invariant broken: %s\n", what);
        std::abort();
    }
}

// The decimal digits of a count's magnitude, most significant first.
std::string digitsOf(std::int64_t count)
{
    std::string digits;
    // Negated digit by digit, so the smallest count needs no wider type.
    do {
        const int digit = int(count % 10);
        digits += char('0' + (digit < 0 ? -digit : digit));
        count /= 10;
    } while (count != 0);
    std::reverse(digits.begin(), digits.end());
    return digits;
}

void addOne(std::string &digits)
{
    auto digit = digits.rbegin();
    for (; digit != digits.rend() && *digit == '9'; ++digit)
        *digit = '0';
    if (digit == digits.rend())
        digits.insert(digits.begin(), '1');
    else
        ++*digit;
}

std::string signedText(bool negative, std::string digits)
{
    digits.erase(0, std::min(digits.find_first_not_of('0'), digits.size() - 1));
    return negative && digits != "0" ? "-" + digits : digits;
}

// Cents for a Lire amount written with `decimals` decimals (four or more):
// its digits over 193627, digit by digit, less the decimals past the fourth.
std::string referenceCents(const std::string &digits, bool negative, std::size_t decimals = 4)
{
    constexpr unsigned divisor = 193627;
    std::string quotient;
    unsigned long long remainder = 0;
    for (const char c : digits) {
        remainder = remainder * 10 + unsigned(c - '0');
        quotient += char('0' + remainder / divisor);
        remainder %= divisor;
    }
    const std::size_t dropped = decimals - 4;
    if (quotient.size() <= dropped)
        quotient.insert(0, dropped + 1 - quotient.size(), '0');
    std::string whole = quotient.substr(0, quotient.size() - dropped);
    if (dropped > 0 ? quotient[whole.size()] >= '5' : remainder * 2 >= divisor)
        addOne(whole);
    return signedText(negative, whole);
}

// Whole Lire for a Euro amount written with `decimals` decimals: its digits
// times 193627, less the decimals and two more digits.
std::string referenceLire(const std::string &digits, bool negative, std::size_t decimals = 4)
{
    const std::string factor = "193627";
    std::string product(digits.size() + factor.size(), '0');
    for (std::size_t i = digits.size(); i-- > 0;) {
        int carry = 0;
        for (std::size_t j = factor.size(); j-- > 0;) {
            const int sum
                = (product[i + j + 1] - '0') + (digits[i] - '0') * (factor[j] - '0') + carry;
            product[i + j + 1] = char('0' + sum % 10);
            carry = sum / 10;
        }
        product[i] = char(product[i] + carry);
    }
    const std::size_t dropped = decimals + 2;
    if (product.size() <= dropped)
        product.insert(0, dropped + 1 - product.size(), '0');
    std::string whole = product.substr(0, product.size() - dropped);
    if (product[whole.size()] >= '5')
        addOne(whole);
    return signedText(negative, whole);
}

// A display text without its prefix, separators and sign: only its digits.
std::string digitsIn(std::u16string_view text)
{
    std::string digits;
    for (const char16_t c : text) {
        if (c >= u'0' && c <= u'9')
            digits += char(c);
    }
    return digits;
}

void convertAndCheck(Currency amount, const NumberFormat &format)
{
    const std::int64_t cents = euroCents(amount);
    const std::int64_t lire = wholeLire(amount);
    check(std::to_string(cents) == referenceCents(digitsOf(amount.count), amount.count < 0),
          "Lire to Euro is exact");
    check(std::to_string(lire) == referenceLire(digitsOf(amount.count), amount.count < 0),
          "Euro to Lire is exact");

    const std::u16string euroText = euroDisplay(amount, format);
    const std::u16string lireText = lireDisplay(Amount{amount, amount, 0}, format);
    check(signedText(false, digitsIn(euroText)) == digitsOf(cents),
          "the Euro display writes every digit");
    check(signedText(false, digitsIn(lireText)) == digitsOf(lire),
          "the Lire display writes every digit");

    const auto euroBack = ReadCurrency(euroText, Money::Euro, format);
    check(euroBack && euroBack->value.count == cents * 100, "the Euro display reads back");
    // Lire amounts beyond the fixed-point range cannot be read, by design.
    if (lire > -922'337'203'685'477 && lire < 922'337'203'685'477) {
        const auto lireBack = ReadCurrency(lireText, Money::Lire, format);
        check(lireBack && lireBack->value.count == lire * 10'000, "the Lire display reads back");
    }
}

// An amount written with eighteen decimals converts from every one of them.
void convertEveryDigit(std::int64_t count, std::uint64_t more, const NumberFormat &format)
{
    constexpr std::size_t extra = 14;
    std::string digits = digitsOf(count);
    digits.insert(0, digits.size() < 5 ? 5 - digits.size() : 0, '0');
    std::string moreDigits = std::to_string(more % 100'000'000'000'000);
    moreDigits.insert(0, extra - moreDigits.size(), '0');
    digits += moreDigits;

    std::u16string text = count < 0 ? format.negative : std::u16string();
    const std::size_t point = digits.size() - 4 - extra;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i == point)
            text += format.decimal;
        text += char16_t(digits[i]);
    }
    if (const auto euro = ReadCurrency(text, Money::Euro, format)) {
        check(std::to_string(wholeLire(*euro)) == referenceLire(digits, count < 0, 4 + extra),
              "Euro to Lire is exact from every digit");
    }
    if (const auto lire = ReadCurrency(text, Money::Lire, format)) {
        check(std::to_string(euroCents(lire->value))
                  == referenceCents(digits, count < 0, 4 + extra),
              "Lire to Euro is exact from every digit");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return 0;
    const NumberFormat &format = formats()[data[0] % formats().size()];
    const Money money = data[0] & 0x80 ? Money::Euro : Money::Lire;
    ++data;
    --size;

    std::u16string text;
    text.reserve(size);
    for (std::size_t i = 0; i < size; ++i)
        text += data[i] < 0x80 ? char16_t(data[i]) : Unusual[data[i] & 0x0F];
    if (const auto read = ReadCurrency(text, money, format))
        convertAndCheck(read->value, format);

    // The same bytes as a count reach every corner of the range.
    if (size >= sizeof(std::int64_t)) {
        std::int64_t count = 0;
        std::memcpy(&count, data, sizeof count);
        convertAndCheck(Currency{count}, format);
        if (size >= 2 * sizeof(std::uint64_t)) {
            std::uint64_t more = 0;
            std::memcpy(&more, data + sizeof count, sizeof more);
            convertEveryDigit(count, more, format);
        }
    }
    return 0;
}
