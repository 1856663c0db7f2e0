// SPDX-License-Identifier: MIT
#pragma once

#include "forms/clipboard.h"
#include "forms/form.h"
#include "forms/label.h"
#include "forms/textbox.h"
#include "window/converter.h"

#include <cstdint>

namespace Monvert {

// Widths of the compact toggle, in twips: above FoldThreshold the window
// counts as unfolded.
inline constexpr float FoldThreshold = 500;
inline constexpr float FoldedWidth = 470;
inline constexpr float UnfoldedWidth = 4650;

// The converter window: one row of a dark "Eu" label, the Lire label and box,
// and the Euro label and box.
class Form1 final : public Forms::Form
{
public:
    explicit Form1(NumberFormat format);

    void Form_Load();

    void label1_Click();
    void Label2_Click();
    void Label3_Click();
    void Label3_DblClick();
    void Label1_MouseDown();
    void Label1_MouseUp();
    void Label2_MouseDown();
    void Label2_MouseUp();
    void Label3_MouseDown();
    void Label3_MouseUp();

    // Created in this order, left to right on the screen.
    Forms::Label Label3;
    Forms::Label Label1;
    Forms::TextBox Text1;
    Forms::Label Label2;
    Forms::TextBox Text2;

    Forms::Clipboard clipboard;
    Converter converter;

private:
    void convertClipboard(std::int16_t editingLire, Forms::TextBox &source, Forms::TextBox &target);
};

} // namespace Monvert
