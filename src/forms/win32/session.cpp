// SPDX-License-Identifier: MIT
// Windows has its desktop always, and ends a program with its window.
#include "forms/session.h"

namespace Monvert::Forms {

std::optional<std::string> windowSystemMissing(int, char **)
{
    return std::nullopt;
}

void guardSession() { }

} // namespace Monvert::Forms
