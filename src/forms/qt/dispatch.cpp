// SPDX-License-Identifier: MIT
#include "forms/failures.h"

#include "rules/utf8.h"

#include <cstdio>

namespace Monvert::Forms {

// Under Qt, on standard error.
void reportUnhandled(std::u16string_view control, const char *event, const char *what) noexcept
{
    try {
        std::string procedure;
        encodeUtf8(control, procedure);
        std::fputs(unhandledLine(procedure + '_' + event, what).c_str(), stderr);
    } catch (...) {
        std::fputs(unhandledLine("?", what).c_str(), stderr);
    }
}

} // namespace Monvert::Forms
