// SPDX-License-Identifier: MIT
#include "convert/converter.h"

#include "platform/clipboard.h"
#include "platform/regional.h"
#include "platform/textbox.h"

#include <exception>

namespace Monvert {

using namespace Qt::Literals::StringLiterals;

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
}

void Converter::Text1_Change()
{
    if (EditingLire == False)
        return;
    // Any failure ends the conversion silently and leaves the other box as it was.
    try {
        const QString text = m_text1.Text();
        const auto amount = ReadCurrency(Forms::utf16View(text), m_format);
        if (!amount)
            return;
        EuroAmount = toDouble(*amount) / LirePerEuro;
        ++m_conversions;
        m_text2.SetText(
            u"Euro "_s
            + QString::fromStdU16String(FormatNumber(EuroAmount, EuroPattern, m_format)));
    } catch (const std::exception &) { }
}

void Converter::Text2_Change()
{
    if (EditingLire == True)
        return;
    try {
        const QString text = m_text2.Text();
        std::u16string_view source = Forms::utf16View(text);
        // Only a capital E loses its prefix, so the box's own "Euro 1,00" reads back.
        if (!source.empty() && source.front() == u'E') {
            const std::size_t blank = source.find(u' ');
            if (blank == std::u16string_view::npos)
                return;
            source.remove_prefix(blank);
        }
        const auto amount = ReadCurrency(source, m_format);
        if (!amount)
            return;
        EuroAmount = toDouble(*amount);
        LireAmount = EuroAmount * LirePerEuro;
        ++m_conversions;
        m_text1.SetText(
            u"L. "_s + QString::fromStdU16String(FormatNumber(LireAmount, LirePattern, m_format)));
    } catch (const std::exception &) { }
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
    // The whole text, wherever the user left the caret in that box.
    const QString text = other.Text();
    other.SetSelStart(0);
    other.SetSelLength(int(text.size()));
    other.SetFocus();
    // An empty box has nothing to copy; what the user copied stays.
    if (text.isEmpty())
        return;
    m_clipboard.Clear();
    m_clipboard.SetText(other.SelText());
}

} // namespace Monvert
