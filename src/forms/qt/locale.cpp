// SPDX-License-Identifier: MIT
#include "forms/qt/locale.h"

#include <QLocale>

namespace Monvert {

NumberFormat numberFormatFor(const QLocale &locale)
{
    return NumberFormat{
        .decimal = locale.decimalPoint().toStdU16String(),
        .group = locale.groupSeparator().toStdU16String(),
        .negative = locale.negativeSign().toStdU16String(),
        .positive = locale.positiveSign().toStdU16String(),
    };
}

} // namespace Monvert
