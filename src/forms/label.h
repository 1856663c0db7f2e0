// SPDX-License-Identifier: MIT
#pragma once

#include "forms/form.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>

namespace Monvert::Forms {

class TextBox;

// A caption that works as a button: bold, centred, in a thin box. Events come
// in the order the window's procedures were written for: a click is
// MouseDown, MouseUp, Click; a double-click is MouseDown, MouseUp, Click,
// DblClick, MouseUp.
class Label
{
public:
    Label(Form &form, std::u16string_view name, std::u16string_view caption);
    ~Label();
    Label(const Label &) = delete;
    Label &operator=(const Label &) = delete;

    void Move(const Twips &place);
    void SetBackColor(Color color);
    void SetForeColor(Color color);
    [[nodiscard]] bool FontBold() const;
    void SetFontBold(bool bold);
    // The box this caption names, to a screen reader too.
    void Names(TextBox &box);

    std::function<void()> Click;
    std::function<void()> DblClick;
    // Button (1 left, 2 right, 4 middle), shift state, position in twips.
    using MouseProcedure
        = std::function<void(std::int16_t button, std::int16_t shift, float x, float y)>;
    MouseProcedure MouseDown;
    MouseProcedure MouseUp;

    struct Native;
    [[nodiscard]] Native &native() const { return *m_native; }

private:
    std::unique_ptr<Native> m_native;
};

} // namespace Monvert::Forms
