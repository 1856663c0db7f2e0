// SPDX-License-Identifier: MIT
#include "window/form1.h"

#include <QHBoxLayout>
#include <QLineEdit>

namespace Monvert {

Form1::Form1(NumberFormat format)
    : converter(Text1, Text2, clipboard, std::move(format))
{
    setWindowTitle(QStringLiteral("Monvert"));
    auto *row = new QHBoxLayout(this);
    row->addWidget(Text1.widget());
    row->addWidget(Text2.widget());
}

} // namespace Monvert
