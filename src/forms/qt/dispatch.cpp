// SPDX-License-Identifier: MIT
#include "forms/qt/dispatch.h"

#include "forms/failures.h"

#include <cstdio>

namespace Monvert::Forms {

void reportUnhandled(const QString &procedure, const char *what) noexcept
{
    std::fputs(unhandledLine(procedure.toStdString(), what).c_str(), stderr);
}

} // namespace Monvert::Forms
