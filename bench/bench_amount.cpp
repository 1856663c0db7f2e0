// SPDX-License-Identifier: MIT
// The amount rules alone: what one keystroke costs before any widget is involved.
#include "rules/amount.h"

#include <benchmark/benchmark.h>

#include <string>

using namespace Monvert;

namespace {

const NumberFormat Italian{u",", u".", u"-", u"+"};

// Read one box's text, convert exactly and format the other box's display text.
void BM_ReadAndFormat(benchmark::State &state, std::u16string text, Money money)
{
    for (auto _ : state) {
        const auto amount = ReadCurrency(text, money, Italian);
        benchmark::DoNotOptimize(amount);
        const Amount read = amount.value_or(Amount{});
        const std::u16string shown
            = money == Money::Lire ? euroDisplay(read.value, Italian) : lireDisplay(read, Italian);
        benchmark::DoNotOptimize(shown.data());
    }
}
BENCHMARK_CAPTURE(BM_ReadAndFormat, lire_to_euro, u"1.000.000", Money::Lire);
BENCHMARK_CAPTURE(BM_ReadAndFormat, euro_display_to_lire, u"Euro 516,46", Money::Euro);
BENCHMARK_CAPTURE(BM_ReadAndFormat, longest_amount, u"-922.337.203.685.477,5807", Money::Euro);

void BM_ReadCurrency(benchmark::State &state, std::u16string text)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(ReadCurrency(text, Money::Lire, Italian));
}
BENCHMARK_CAPTURE(BM_ReadCurrency, typed, u"1000000");
BENCHMARK_CAPTURE(BM_ReadCurrency, not_an_amount, u"abc");

void BM_FormatNumber(benchmark::State &state, std::int64_t units, std::string_view pattern)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(FormatNumber(units, pattern, Italian));
}
BENCHMARK_CAPTURE(BM_FormatNumber, euro, 51'646, EuroPattern);
BENCHMARK_CAPTURE(BM_FormatNumber, lire, 1'936'270, LirePattern);

// One linear pass: reading time grows with the text and no faster. Blanks
// before an amount are the longest text that must be read to its end; a run
// of digits stops as soon as it overflows.
void BM_ReadCurrencyLength(benchmark::State &state)
{
    const std::u16string text = std::u16string(std::size_t(state.range(0)), u' ') + u"1000";
    for (auto _ : state)
        benchmark::DoNotOptimize(ReadCurrency(text, Money::Lire, Italian));
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_ReadCurrencyLength)->RangeMultiplier(16)->Range(16, MaxTextLength - 5)->Complexity();

} // namespace

BENCHMARK_MAIN();
