// SPDX-License-Identifier: MIT
#include "window/converter.h"

#include "forms/clipboard.h"
#include "forms/textbox.h"
#include "rules/messages.h"
#include "rules/utf8.h"

#include <exception>

namespace Monvert {

namespace {

// Why the other box did not follow, told in its tooltip: the text that is no
// amount. An emptied box needs no telling.
std::u16string notAnAmount(std::u16string_view text)
{
    std::u16string reason;
    if (!text.empty())
        decodeUtf8(filledIn(translated("Not an amount: %s"), {shownText(text)}), reason);
    return reason;
}

} // namespace

Converter::Converter(Forms::TextBox &text1, Forms::TextBox &text2, Forms::Clipboard &clipboard,
                     NumberFormat format)
    : m_text1(text1)
    , m_text2(text2)
    , m_clipboard(clipboard)
    , m_format(std::move(format))
{
    m_text1.Change = [this] { Text1_Change(); };
    m_text2.Change = [this] { Text2_Change(); };
    m_text1.KeyUp = [this](std::int16_t key, std::int16_t shift) { Text1_KeyUp(key, shift); };
    m_text2.KeyUp = [this](std::int16_t key, std::int16_t shift) { Text2_KeyUp(key, shift); };
    // A key release comes after the change of its key, so left to key releases
    // alone the first keystroke in the other box would convert nothing. Any
    // edit by the user makes its box the source before its change runs.
    m_text1.Edited = [this] { EditingLire = True; };
    m_text2.Edited = [this] { EditingLire = False; };
    m_text1.SetKeypadDecimal(m_format.decimal);
    m_text2.SetKeypadDecimal(m_format.decimal);
}

void Converter::Text1_Change()
{
    if (EditingLire == False)
        return;
    bool converted = false;
    std::u16string text;
    // Any failure ends the conversion silently; the other box keeps its text,
    // marked as no longer the conversion of this one.
    try {
        text = m_text1.Text();
        if (const auto amount = ReadCurrency(text, Money::Lire, m_format)) {
            LireAmount = toDouble(amount->value);
            EuroAmount = LireAmount / LirePerEuro;
            ++m_conversions;
            converted = true;
            m_text2.SetText(euroDisplay(amount->value, m_format));
        }
    } catch (const std::exception &) { }
    m_lastChangeConverted = converted;
    if (!converted)
        m_text2.SetOutOfDate(notAnAmount(text));
}

void Converter::Text2_Change()
{
    if (EditingLire == True)
        return;
    bool converted = false;
    std::u16string text;
    try {
        text = m_text2.Text();
        if (const auto amount = ReadCurrency(text, Money::Euro, m_format)) {
            EuroAmount = toDouble(amount->value);
            LireAmount = EuroAmount * LirePerEuro;
            ++m_conversions;
            converted = true;
            m_text1.SetText(lireDisplay(*amount, m_format));
        }
    } catch (const std::exception &) { }
    m_lastChangeConverted = converted;
    if (!converted)
        m_text1.SetOutOfDate(notAnAmount(text));
}

void Converter::Text1_KeyUp(std::int16_t KeyCode, std::int16_t /*Shift*/)
{
    EditingLire = True;
    if (KeyCode == Forms::KeyEnter)
        copyOnEnter(m_text2);
}

void Converter::Text2_KeyUp(std::int16_t KeyCode, std::int16_t /*Shift*/)
{
    EditingLire = False;
    if (KeyCode == Forms::KeyEnter)
        copyOnEnter(m_text1);
}

void Converter::copyOnEnter(Forms::TextBox &other)
{
    // An amount that is not the conversion of this box must not pass for one;
    // the box says why.
    if (other.OutOfDate()) {
        Forms::Beep();
        other.ShowToolTip();
        return;
    }
    // The whole text, wherever the user left the caret in that box.
    const std::u16string text = other.Text();
    other.SetSelStart(0);
    other.SetSelLength(int(text.size()));
    other.SetFocus();
    // An empty box has nothing to copy; what the user copied stays.
    if (text.empty())
        return;
    // Another program may hold the clipboard past every retry: the amount
    // stays selected, for the user to copy by hand.
    if (!m_clipboard.SetText(other.SelText()))
        Forms::Beep();
}

} // namespace Monvert
