// SPDX-License-Identifier: MIT
#include "platform/regional.h"
#include "window/form1.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Monvert"));
    QApplication::setApplicationVersion(QStringLiteral(MONVERT_VERSION));
    Monvert::Form1 form(Monvert::Forms::regionalNumberFormat());
    form.show();
    return QApplication::exec();
}
