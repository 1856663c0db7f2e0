// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

namespace Monvert::Forms {

// The line that tells of a failure escaping an event procedure
// ("Text1_Change"), in the user's language, as both implementations report
// it: Qt on standard error, Windows to the debugger.
[[nodiscard]] std::string unhandledLine(std::string_view procedure, const char *what) noexcept;

} // namespace Monvert::Forms
