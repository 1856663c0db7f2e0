// SPDX-License-Identifier: MIT
// The amount rules alone: what one keystroke costs before any widget is involved.
#include "convert/amount.h"

#include <benchmark/benchmark.h>

#include <string>

using namespace Monvert;

namespace {

const NumberFormat Italian{u",", u".", u"-", u"+", u"\u20AC"};

// Read one box's text and format the converted amount for the other box.
void BM_ReadAndFormat(benchmark::State &state, std::u16string text, std::string_view pattern)
{
    for (auto _ : state) {
        const auto amount = ReadCurrency(text, Italian);
        benchmark::DoNotOptimize(amount);
        const std::u16string shown
            = FormatNumber(toDouble(amount.value_or(Currency{})) / 1936.27, pattern, Italian);
        benchmark::DoNotOptimize(shown.data());
    }
}
BENCHMARK_CAPTURE(BM_ReadAndFormat, lire_to_euro, u"1.000.000", EuroPattern);
BENCHMARK_CAPTURE(BM_ReadAndFormat, euro_display_to_lire, u" 516,46", LirePattern);
BENCHMARK_CAPTURE(BM_ReadAndFormat, longest_amount, u"-922.337.203.685.477,5807", EuroPattern);

void BM_ReadCurrency(benchmark::State &state, std::u16string text)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(ReadCurrency(text, Italian));
}
BENCHMARK_CAPTURE(BM_ReadCurrency, typed, u"1000000");
BENCHMARK_CAPTURE(BM_ReadCurrency, not_an_amount, u"abc");

void BM_FormatNumber(benchmark::State &state, double value, std::string_view pattern)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(FormatNumber(value, pattern, Italian));
}
BENCHMARK_CAPTURE(BM_FormatNumber, euro, 516.4568, EuroPattern);
BENCHMARK_CAPTURE(BM_FormatNumber, lire, 1936270.0, LirePattern);

// One linear pass: reading time grows with the text and no faster. Blanks
// before an amount are the longest text that must be read to its end; a run
// of digits stops as soon as it overflows.
void BM_ReadCurrencyLength(benchmark::State &state)
{
    const std::u16string text = std::u16string(std::size_t(state.range(0)), u' ') + u"1000";
    for (auto _ : state)
        benchmark::DoNotOptimize(ReadCurrency(text, Italian));
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_ReadCurrencyLength)->RangeMultiplier(16)->Range(16, 1 << 20)->Complexity();

} // namespace

BENCHMARK_MAIN();
