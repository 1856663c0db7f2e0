// SPDX-License-Identifier: MIT
#include "forms/failures.h"

#include "rules/messages.h"

namespace Monvert::Forms {

std::string unhandledLine(std::string_view procedure, const char *what) noexcept
{
    try {
        return filledIn(translated("Monvert: unhandled error in %s: %s\n"),
                        {std::string(procedure), what ? what : translated("unknown error")});
    } catch (...) {
        return translated("Monvert: unhandled error\n");
    }
}

} // namespace Monvert::Forms
