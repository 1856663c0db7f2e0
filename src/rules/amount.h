// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The rules that turn a box's text into an amount and an amount into the text a
// box displays. Plain C++ on UTF-16 text, so that they can be fuzzed and
// benchmarked without a toolkit; the regional settings come in as a value.
namespace Monvert {

// A fixed-point amount: a signed count of ten-thousandths.
struct Currency
{
    std::int64_t count = 0;
    friend bool operator==(Currency, Currency) = default;
};

// What ReadCurrency gives for a text that is not an amount.
inline constexpr std::nullopt_t ConversionFailed = std::nullopt;

// The separators of the user's regional settings, read once at start.
struct NumberFormat
{
    std::u16string decimal = u".";
    std::u16string group = u",";
    std::u16string negative = u"-";
    std::u16string positive = u"+";
};

// Which currency a text is read as: each takes its own marks and words ("L.",
// "lire", "€", "euro", ...) and no other, so a Lire amount is never taken for Euro.
enum class Money { Lire, Euro };

// The fixed rate of 1999, 1936.27 Lire to one Euro, in hundredths of a lira:
// every rate in the program is this one.
inline constexpr std::uint32_t LireHundredthsPerEuro = 193'627;
inline constexpr double LirePerEuro = LireHundredthsPerEuro / 100.0;

inline constexpr std::string_view EuroPattern = "#,##0.00";
inline constexpr std::string_view LirePattern = "#,##0";
inline constexpr std::u16string_view EuroPrefix = u"Euro ";
inline constexpr std::u16string_view LirePrefix = u"L. ";

// An amount exactly as written, however many decimals it has. A Currency keeps
// four; a fifth and further digits still move a Lire result across its half,
// so what they add is kept too, worked out at the rate while they are at hand.
struct Amount
{
    Currency value; // the Currency read: the fifth decimal rounds half away from zero
    Currency cut; // the same with every decimal past the fourth dropped
    // The dropped decimals, as a fraction of a ten-thousandth, times LireHundredthsPerEuro:
    // the millionths of a lira they add to the product, cut to a whole number.
    std::uint32_t rest = 0;
};

// The longest text read as an amount, the classic limit of a single-line
// box, which the window's boxes keep to, and far more than any amount. A
// text as long may be the start of a longer one, cut to fit, which is no
// amount even where its start would read as one.
inline constexpr std::size_t MaxTextLength = 32767;

// A box's whole text, or a line of the terminal mode, as an amount of that
// currency: the Currency and what the decimals past its fourth add. No text
// of MaxTextLength or more reads: a box may have cut it.
[[nodiscard]] std::optional<Amount> ReadCurrency(std::u16string_view text, Money money,
                                                 const NumberFormat &format);

// The text without the blanks around it: spaces, tabs, line ends and the
// no-break spaces that spreadsheets and web pages pad amounts with.
[[nodiscard]] std::u16string_view trimBlanks(std::u16string_view text);
// The same in UTF-8, as the terminal mode reads lines: blanks around a line
// never count against its length limit, as in the boxes.
[[nodiscard]] std::string_view trimBlanks(std::string_view utf8);

// The double nearest to the amount.
[[nodiscard]] double toDouble(Currency value);

// The legal results at 1936.27 Lire to the Euro: the exact quotient or
// product, rounded half away from zero, to the cent or to the whole lira.
// Every amount a Currency holds converts without overflow.
[[nodiscard]] std::int64_t euroCents(Currency lire);
[[nodiscard]] std::int64_t wholeLire(Currency euro);
[[nodiscard]] std::int64_t wholeLire(const Amount &euro);

// Formats a whole number of the pattern's smallest unit (cents for
// "#,##0.00", whole Lire for "#,##0"): "," asks for grouping, each "0" after
// "." for one decimal that is always written.
[[nodiscard]] std::u16string FormatNumber(std::int64_t units, std::string_view pattern,
                                          const NumberFormat &format);

// What the other box shows for an amount read from one: "Euro 0,52", "L. 19.363".
[[nodiscard]] std::u16string euroDisplay(Currency lire, const NumberFormat &format);
[[nodiscard]] std::u16string lireDisplay(const Amount &euro, const NumberFormat &format);

} // namespace Monvert
