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

// The separators and symbols of the user's regional settings, read once at start.
struct NumberFormat
{
    std::u16string decimal = u".";
    std::u16string group = u",";
    std::u16string negative = u"-";
    std::u16string positive = u"+";
    std::u16string currencySymbol; // may be empty
};

inline constexpr std::string_view EuroPattern = "#,##0.00";
inline constexpr std::string_view LirePattern = "#,##0";

[[nodiscard]] std::optional<Currency> ReadCurrency(std::u16string_view text,
                                                   const NumberFormat &format);

// The double nearest to the amount.
[[nodiscard]] double toDouble(Currency value);

// Formats by a pattern of the shape "#,##0" or "#,##0.00": "," asks for
// grouping, each "0" after "." for one decimal that is always written.
[[nodiscard]] std::u16string FormatNumber(double value, std::string_view pattern,
                                          const NumberFormat &format);

} // namespace Monvert
