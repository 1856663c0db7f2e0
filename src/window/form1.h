// SPDX-License-Identifier: MIT
#pragma once

#include "forms/clipboard.h"
#include "forms/form.h"
#include "forms/label.h"
#include "forms/textbox.h"
#include "window/converter.h"

#include <cstdint>

namespace Monvert {

// The window's sizes, all here. Twips are the design's unit: 1440 to the
// inch, so 15 to a pixel at 96 dpi, the density the placement's pixels are
// counted at.
inline constexpr int TwipsPerPixelAt96 = 1440 / 96;

// The client area as designed, before Form_Load places the window.
inline constexpr Forms::Twips DesignedClientArea{6045, 285, 5235, 690};

// Form_Load's outer size, frame included: 4665 by 630 twips, the row of
// controls (4575 by 300) in the reference frame.
inline constexpr int PlacedWidth = 4665 / TwipsPerPixelAt96; // 311 pixels
inline constexpr int PlacedHeight = 630 / TwipsPerPixelAt96; // 42 pixels

// Widths of the compact toggle, in twips: above FoldThreshold the window
// counts as unfolded. Folded, it holds the "Eu" label; unfolded, 310 pixels,
// one fewer than placed.
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
    Forms::ClipboardOutcome convertClipboard(std::int16_t editingLire, Forms::TextBox &source,
                                             Forms::TextBox &target);
};

} // namespace Monvert
