// SPDX-License-Identifier: MIT
#include "platform/dispatch.h"

#include <cstdio>

namespace Monvert::Forms {

void reportUnhandled(const QString &procedure, const char *what) noexcept
{
    // The program is marked Italian, so the layer's own words are Italian too.
    try {
        const QByteArray name = procedure.toUtf8();
        std::fprintf(stderr, "Monvert: errore non gestito in %s: %s\n", name.constData(),
                     what ? what : "errore sconosciuto");
    } catch (...) {
        std::fputs("Monvert: errore non gestito\n", stderr);
    }
}

} // namespace Monvert::Forms
