// SPDX-License-Identifier: MIT
#pragma once

#include "rules/amount.h"

#include <QPointer>
#include <QString>

#include <cstdint>
#include <functional>

class QLineEdit;
class QWidget;

namespace Monvert::Forms {

class TextBoxWidget;

// A single-line text box with the semantics the converter was designed
// against: every set of Text raises Change, nested, with the caret at the
// start; KeyUp follows the Change of the same key.
class TextBox
{
public:
    TextBox(QWidget *parent, const QString &name);
    ~TextBox();
    TextBox(const TextBox &) = delete;
    TextBox &operator=(const TextBox &) = delete;

    [[nodiscard]] QString Text() const;
    void SetText(const QString &text);
    void SetSelStart(int start);
    void SetSelLength(int length);
    [[nodiscard]] QString SelText() const;
    void SetFocus();

    // An amount that no longer follows the other box: greyed until the next
    // change of the box's text, which turns it back.
    void SetOutOfDate();
    [[nodiscard]] bool OutOfDate() const { return m_outOfDate; }

    // What the keypad's decimal key types, whatever the keyboard layout sends.
    void SetKeypadDecimal(const QString &separator);

    [[nodiscard]] QLineEdit *widget() const;

    // Events. Edited comes before the Change of every change that SetText
    // did not make: typing, paste, cut, undo, drop, assistive technology.
    std::function<void()> Change;
    std::function<void()> Edited;
    std::function<void(std::int16_t keyCode, std::int16_t shift)> KeyUp;

private:
    friend class TextBoxWidget;
    void raiseChange();
    void showOutOfDate(bool outOfDate);
    void describe();

    QPointer<TextBoxWidget> m_widget;
    bool m_setting = false;
    bool m_outOfDate = false;
};

// The warning sound of a command that has nothing to do.
void Beep();

// The most characters a box holds, typed, pasted or set; a longer text is cut.
inline constexpr int MaxLength = int(MaxTextLength);

// Key codes as the converter knows them.
inline constexpr std::int16_t KeyEnter = 13;

} // namespace Monvert::Forms
