// SPDX-License-Identifier: MIT
#pragma once

#include "rules/amount.h"

namespace Monvert {

// The user's regional settings for numbers, read once at start: on Unix the
// C library's LC_NUMERIC (LC_ALL, LC_NUMERIC, LANG), which is what a
// desktop's formats setting sets. Each platform has its own implementation.
[[nodiscard]] NumberFormat regionalNumberFormat();

} // namespace Monvert
