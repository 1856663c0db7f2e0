// SPDX-License-Identifier: MIT
#pragma once

#include "forms/form.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace Monvert::Forms {

// A single-line text box with the semantics the converter was designed
// against: every set of Text raises Change, nested, with the caret at the
// start; KeyUp follows the Change of the same key.
class TextBox
{
public:
    TextBox(Form &form, std::u16string_view name);
    ~TextBox();
    TextBox(const TextBox &) = delete;
    TextBox &operator=(const TextBox &) = delete;

    void Move(const Twips &place);
    // Drawn over the controls created before it where they overlap.
    void BringToFront();

    [[nodiscard]] std::u16string Text() const;
    void SetText(std::u16string_view text);
    void SetSelStart(int start);
    void SetSelLength(int length);
    [[nodiscard]] std::u16string SelText() const;
    void SetFocus();

    // An amount that no longer follows the other box: greyed until the next
    // change of the box's text, which turns it back. Its tooltip, and what a
    // screen reader hears, say so, with the reason when there is one.
    void SetOutOfDate(std::u16string_view reason = {});
    [[nodiscard]] bool OutOfDate() const;
    // Shows the box's tooltip at once, where the box is, as resting the mouse
    // on it would: why a command found nothing to do.
    void ShowToolTip();

    // What the keypad's decimal key types, whatever the keyboard layout sends.
    void SetKeypadDecimal(std::u16string_view separator);

    // The most characters the box holds, typed, pasted or set; a longer
    // text is cut.
    void SetMaxLength(int length);

    // Events. Edited comes before the Change of every change that SetText
    // did not make: typing, paste, cut, undo, drop, assistive technology.
    std::function<void()> Change;
    std::function<void()> Edited;
    std::function<void(std::int16_t keyCode, std::int16_t shift)> KeyUp;

    struct Native;
    [[nodiscard]] Native &native() const { return *m_native; }

    // What every system's box keeps alike, for the rules written once in
    // forms/textbox.cpp: each system's box measures, draws and reports.
    struct State
    {
        bool setting = false; // SetText is writing the text
        bool outOfDate = false;
        bool hidden = false; // part of the text is out of sight even at the smallest size
        std::u16string reason; // why it is out of date, when it is
    };
    [[nodiscard]] const State &state() const { return m_state; }

    // Told by the system's box of every change of its text, once fitted:
    // the box is current again, and a change the program did not make is
    // the user's, whatever its road (keys, paste, a drop, an input method,
    // a screen reader's set): Edited, then Change.
    void textChanged();
    // Told by the system's box whether the text as fitted hides a part.
    void fitted(bool hidden);

private:
    void showOutOfDate(bool outOfDate, std::u16string_view reason = {});
    void explain();

    std::unique_ptr<Native> m_native;
    State m_state;
};

// Each system's part of the rules, which they call.
// Writes the text, cut at the box's limit, with the caret at the start;
// the system's box tells textChanged as for any change.
void writeText(TextBox &box, std::u16string_view text);
// Draws the box as out of date, or as current, as its state says.
void drawOutOfDate(TextBox &box);
// The box's tooltip, and what a screen reader hears: the lines, or nothing.
void showExplanation(TextBox &box, const std::vector<std::u16string> &lines);
// The first characters of the text, as many as there are up to the length.
[[nodiscard]] std::u16string textStart(const TextBox &box, std::size_t length);
[[nodiscard]] std::u16string boxName(const TextBox &box);

// The size a text is drawn at, in the system's own unit, and whether part of
// it stays hidden: the full size if it fits there, else the largest size in
// steps down from it that fits, no smaller than the smallest share; a text
// that fits at none, or is longer than FittedLength and not measured, is
// drawn at that share and marked.
struct FittedSize
{
    double size;
    bool hidden;
};
[[nodiscard]] FittedSize fittedSize(std::size_t length, double full, double step,
                                    const std::function<bool(double size)> &fits);

// Where an ellipsis over a hidden side of the text ends, or begins: it
// covers every character cut there, and beside it only whole characters
// show. Found from the places of the text's character boundaries, as each
// system measures them, searched from a guess within the boundaries
// measured; a system that places no boundary past the last character says
// so by the last one.
struct Boundaries
{
    std::function<double(int)> at;
    std::function<int(int)> next;
    std::function<int(int)> previous;
    int first;
    int last;
};
// The first boundary at or right of x, for the end of the left ellipsis.
[[nodiscard]] int firstBoundaryFrom(double x, int guess, const Boundaries &boundaries);
// The last boundary at or left of x, for the start of the right one.
[[nodiscard]] int lastBoundaryTo(double x, int guess, const Boundaries &boundaries);

// The warning sound of a command that has nothing to do.
void Beep();

// A long amount is drawn smaller rather than cut, as calculators' small
// displays do, down to this share of the box's size, which stays legible;
// past that, an ellipsis marks each hidden side. A text longer than
// FittedLength fits at no size and is not measured; the tooltip tells a
// hidden text whole up to ToolTipLength characters, far more than any amount.
inline constexpr int SmallestSizeNumerator = 2;
inline constexpr int SmallestSizeDenominator = 3;
inline constexpr int FittedLength = 64;
inline constexpr int ToolTipLength = 256;

// Key codes as the converter knows them.
inline constexpr std::int16_t KeyEnter = 13;

} // namespace Monvert::Forms
