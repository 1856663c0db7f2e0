// SPDX-License-Identifier: MIT
#pragma once

// What the Win32 implementation keeps behind the forms layer's classes, and
// what its files share.
#include "forms/failures.h"
#include "forms/form.h"
#include "forms/label.h"
#include "forms/textbox.h"
#include "platform/win32/handles.h"

#include <windows.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace Monvert::Forms {

inline constexpr wchar_t FormClass[] = L"MonvertForm";
// Another start of the program asks the running one to bring its window back,
// or to convert the clipboard (wParam 1 from Lire, 2 from Euro).
inline constexpr UINT WM_REOPEN = WM_APP + 1;
// wParam the command, 1 from Lire, 2 from Euro; lParam a window of the
// asker's, told the outcome as WM_COPYDATA of this kind.
inline constexpr UINT WM_CONVERT = WM_APP + 2;
inline constexpr ULONG_PTR OutcomeData = 0x4D4F;

struct Form::Native
{
    Form *form = nullptr;
    unique_hwnd window;
    unique_hbrush background;
    std::optional<float> width;
    HWND hiddenFocus = nullptr; // a box folding hid, which has the focus back on unfolding
    HWND lastFocus = nullptr; // what had the focus when the window was last left
    Twips clientArea;
    // The density the window's sizes are counted at: the system's answer at
    // first, then the one WM_DPICHANGED brought last, handed down to the controls.
    UINT dpi = 96;
};

struct TextBox::Native
{
    TextBox *box = nullptr;
    std::u16string name;
    HWND edit = nullptr;
    Twips place;
    UINT dpi = 96; // the window's, as it places the box and makes its fonts
    bool inFront = false; // over the edges of the controls before it
    bool keypadDecimal = false; // the key down was the keypad's decimal key
    std::wstring decimal;
    LOGFONTW design{}; // the box's font at its full size
    std::map<LONG, unique_hfont> fonts; // by height, as drawn so far
    LONG height = 0; // the one in use
    HWND tip = nullptr; // why it is grey, and the whole text when part of it is hidden
    std::uint64_t revision = 0; // counts the changes of the text
    // The ellipses over the hidden sides, and what they were worked out from.
    struct Marks
    {
        struct Key
        {
            std::uint64_t revision = ~std::uint64_t(0);
            int first = 0, left = 0, right = 0, bottom = 0;
            LONG height = 0;
            friend bool operator==(const Key &, const Key &) = default;
        } key;
        std::vector<RECT> rects;
    } marks;
};

struct Label::Native
{
    Label *label = nullptr;
    std::u16string name;
    HWND control = nullptr;
    Twips place;
    UINT dpi = 96; // the window's, as it places the label and makes its fonts
    Color back{255, 255, 255};
    Color fore{0, 0, 0};
    unique_hbrush brush;
    unique_hfont bold;
    unique_hfont normal;
    bool isBold = true;
    bool clickArmed = false;
};

inline std::wstring wide(std::u16string_view text)
{
    return std::wstring(text.begin(), text.end());
}

inline std::u16string plain(std::wstring_view text)
{
    return std::u16string(text.begin(), text.end());
}

inline COLORREF colorRef(Color color)
{
    return RGB(color.red, color.green, color.blue);
}

inline int twipsToPixels(int twips, UINT dpi)
{
    return MulDiv(twips, int(dpi), 1440);
}

// A control's place, from the window description's twips at a density.
inline void moveControl(HWND control, const Twips &place, UINT dpi)
{
    MoveWindow(control, twipsToPixels(place.left, dpi), twipsToPixels(place.top, dpi),
               twipsToPixels(place.width, dpi), twipsToPixels(place.height, dpi), TRUE);
}

// The Shift argument of the key and mouse procedures: 1 for Shift, 2 for
// Ctrl, 4 for Alt, added up, as the keys stood when the message was sent.
inline std::int16_t shiftState()
{
    return std::int16_t((GetKeyState(VK_SHIFT) < 0 ? 1 : 0) | (GetKeyState(VK_CONTROL) < 0 ? 2 : 0)
                        | (GetKeyState(VK_MENU) < 0 ? 4 : 0));
}

// A window the forms cannot do without. Where the system refuses to make
// one, the user is told why, in their language, and the program ends rather
// than go on with a window that is not there.
HWND madeOrEnd(HWND window);

// The window's controls, as its procedure finds them from their handles: by
// the reference data of their subclass, none for another window.
[[nodiscard]] TextBox::Native *textBoxOf(HWND control);
[[nodiscard]] Label::Native *labelOf(HWND control);
void textChanged(TextBox::Native &box);
// The window shows more or less of the box: its text is fitted again.
void visibleWidthChanged(TextBox::Native &box);
// Moved to a screen of another density, as the system's samples handle it:
// the control placed again from its twips at that density, its fonts made again.
void densityChanged(HWND control, UINT dpi);
// The fonts for the control's density, and for the user's settings.
void makeFonts(TextBox::Native &box);
void makeFonts(Label::Native &label);
// The box over the edges of the controls before it in the window's order.
void keepInFront(TextBox::Native &box);
[[nodiscard]] HBRUSH textBoxColors(TextBox::Native &box, HDC dc);
[[nodiscard]] HBRUSH labelColors(Label::Native &label, HDC dc);

} // namespace Monvert::Forms
