// SPDX-License-Identifier: MIT
#include "forms/qt/dispatch.h"

#include "rules/messages.h"

#include <cstdio>

namespace Monvert::Forms {

void reportUnhandled(const QString &procedure, const char *what) noexcept
{
    try {
        const std::string line
            = filledIn(translated("Monvert: unhandled error in %s: %s\n"),
                       {procedure.toStdString(), what ? what : translated("unknown error")});
        std::fputs(line.c_str(), stderr);
    } catch (...) {
        std::fputs(translated("Monvert: unhandled error\n"), stderr);
    }
}

} // namespace Monvert::Forms
