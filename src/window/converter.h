// SPDX-License-Identifier: MIT
#pragma once

#include "rules/amount.h"

#include <cstdint>

namespace Monvert {

namespace Forms {
class Clipboard;
class TextBox;
} // namespace Forms

// Truth values of the window's state are 16-bit integers.
inline constexpr std::int16_t True = -1;
inline constexpr std::int16_t False = 0;

// The state of the converter window and the procedures that keep its Lire box
// (Text1) and Euro box (Text2) in step. It binds the boxes' events itself.
class Converter
{
public:
    Converter(Forms::TextBox &text1, Forms::TextBox &text2, Forms::Clipboard &clipboard,
              NumberFormat format);

    void Text1_Change();
    void Text2_Change();
    void Text1_KeyUp(std::int16_t KeyCode, std::int16_t Shift);
    void Text2_KeyUp(std::int16_t KeyCode, std::int16_t Shift);

    // True while the Lire box is the source of the conversion.
    std::int16_t EditingLire = False;
    // The amounts of the last conversion, either way, in double precision,
    // as read and multiplied or divided by LirePerEuro: the window's state
    // for whoever extends it. The boxes show the exact legal result instead,
    // which a double's 15 digits cannot always give.
    double EuroAmount = 0;
    double LireAmount = 0;

    // Whether the last change that ran this way converted: a caller that
    // sets the source box (a label click) learns here what the change it
    // raised did.
    [[nodiscard]] bool lastChangeConverted() const { return m_lastChangeConverted; }

    // How many conversions have run.
    [[nodiscard]] std::uint64_t conversions() const { return m_conversions; }

private:
    void copyOnEnter(Forms::TextBox &other);

    Forms::TextBox &m_text1;
    Forms::TextBox &m_text2;
    Forms::Clipboard &m_clipboard;
    const NumberFormat m_format;
    std::uint64_t m_conversions = 0;
    bool m_lastChangeConverted = false;
};

} // namespace Monvert
