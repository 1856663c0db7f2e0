// SPDX-License-Identifier: MIT
#include "forms/textbox.h"

#include "forms/failures.h"
#include "rules/messages.h"
#include "rules/utf8.h"

namespace Monvert::Forms {

void TextBox::SetText(std::u16string_view text)
{
    // A set raises Change once, nested, with the caret at the start, even
    // when the text is the one the box shows: the converter relies on both,
    // so that a clipboard command always converts. The system's boxes stay
    // silent for an unchanged text and leave the caret at the end.
    m_state.setting = true;
    writeText(*this, text);
    m_state.setting = false;
    // A conversion may write the very text the box already shows; it is current again.
    showOutOfDate(false);
    if (Change)
        dispatch(boxName(*this), "Change", Change);
}

void TextBox::SetOutOfDate(std::u16string_view reason)
{
    showOutOfDate(true, reason);
}

bool TextBox::OutOfDate() const
{
    return m_state.outOfDate;
}

void TextBox::textChanged()
{
    showOutOfDate(false);
    if (m_state.setting)
        return;
    const std::u16string name = boxName(*this);
    if (Edited)
        dispatch(name, "Edited", Edited);
    if (Change)
        dispatch(name, "Change", Change);
}

void TextBox::fitted(bool hidden)
{
    // The tooltip follows the text for as long as part of it is hidden.
    if (hidden == m_state.hidden && !hidden)
        return;
    m_state.hidden = hidden;
    explain();
}

void TextBox::showOutOfDate(bool outOfDate, std::u16string_view reason)
{
    if (outOfDate == m_state.outOfDate && reason == m_state.reason)
        return;
    m_state.reason = reason;
    if (outOfDate != m_state.outOfDate) {
        m_state.outOfDate = outOfDate;
        drawOutOfDate(*this);
    }
    explain();
}

void TextBox::explain()
{
    // Told where grey or an ellipsis cannot be seen, and heard by a screen
    // reader, in the user's language: why the box is grey, and the whole of
    // a text that is partly hidden.
    std::vector<std::u16string> lines;
    if (m_state.outOfDate) {
        decodeUtf8(translated("Out of date: not the conversion of the other box"),
                   lines.emplace_back());
        if (!m_state.reason.empty())
            lines.push_back(m_state.reason);
    }
    if (m_state.hidden)
        lines.push_back(textStart(*this, ToolTipLength));
    showExplanation(*this, lines);
}

FittedSize fittedSize(std::size_t length, double full, double step,
                      const std::function<bool(double size)> &fits)
{
    // Calculators' small displays draw a long number smaller rather than cut
    // it, down to a share that stays legible.
    const double smallest = full * SmallestSizeNumerator / SmallestSizeDenominator;
    if (length == 0)
        return {full, false};
    for (double size = full; length <= FittedLength && size >= smallest; size -= step) {
        if (fits(size))
            return {size, false};
    }
    return {smallest, true};
}

int firstBoundaryFrom(double x, int guess, const Boundaries &boundaries)
{
    int k = guess;
    while (k < boundaries.last && boundaries.at(k) < x)
        k = boundaries.next(k);
    while (k > boundaries.first && boundaries.at(boundaries.previous(k)) >= x)
        k = boundaries.previous(k);
    return k;
}

int lastBoundaryTo(double x, int guess, const Boundaries &boundaries)
{
    int k = guess;
    while (k > boundaries.first && boundaries.at(k) > x)
        k = boundaries.previous(k);
    while (k < boundaries.last && boundaries.at(boundaries.next(k)) <= x)
        k = boundaries.next(k);
    return k;
}

} // namespace Monvert::Forms
