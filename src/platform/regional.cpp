// SPDX-License-Identifier: MIT
#include "platform/regional.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace Monvert::Forms {

NumberFormat numberFormatFor(const QLocale &locale)
{
    return NumberFormat{
        .decimal = locale.decimalPoint().toStdU16String(),
        .group = locale.groupSeparator().toStdU16String(),
        .negative = locale.negativeSign().toStdU16String(),
        .positive = locale.positiveSign().toStdU16String(),
    };
}

void loadToolkitTranslations()
{
    auto *translator = new QTranslator(QCoreApplication::instance());
    if (translator->load(QLocale(), QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(translator);
    else
        delete translator;
}

NumberFormat regionalNumberFormat()
{
    return numberFormatFor(QLocale::system());
}

} // namespace Monvert::Forms
