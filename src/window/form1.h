// SPDX-License-Identifier: MIT
#pragma once

#include "convert/converter.h"
#include "platform/clipboard.h"
#include "platform/textbox.h"

#include <QWidget>

namespace Monvert {

class Form1 final : public QWidget
{
public:
    explicit Form1(NumberFormat format);

    Forms::TextBox Text1{this, QStringLiteral("Text1")};
    Forms::TextBox Text2{this, QStringLiteral("Text2")};
    Forms::Clipboard clipboard;
    Converter converter;
};

} // namespace Monvert
