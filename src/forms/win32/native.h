// SPDX-License-Identifier: MIT
#pragma once

// What the Win32 implementation keeps behind the forms layer's classes, and
// what its files share.
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
inline constexpr UINT WM_CONVERT = WM_APP + 2;

struct Form::Native
{
    Form *form = nullptr;
    unique_hwnd window;
    unique_hbrush background;
    std::optional<float> width;
    HWND hiddenFocus = nullptr; // a box folding hid, which has the focus back on unfolding
    HWND lastFocus = nullptr; // what had the focus when the window was last left
    Twips clientArea;
    UINT dpi = 0; // as WM_DPICHANGED last told it; until then, the system's answer
};

struct TextBox::Native
{
    TextBox *box = nullptr;
    std::u16string name;
    HWND edit = nullptr;
    Twips place;
    bool inFront = false; // over the edges of the controls before it
    bool setting = false;
    bool outOfDate = false;
    bool keypadDecimal = false; // the key down was the keypad's decimal key
    std::wstring decimal;
    LOGFONTW design{}; // the box's font at its full size
    std::map<LONG, unique_hfont> fonts; // by height, as drawn so far
    LONG height = 0; // the one in use
    bool hidden = false; // part of the text is out of sight even at the smallest size
    std::wstring wholeText; // as much of it as the tooltip tells, while hidden
    std::u16string reason; // why it is out of date, when it is
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

// What the program's window keeps of ours, from any window inside it.
inline Form::Native *formOf(HWND window)
{
    HWND root = window ? GetAncestor(window, GA_ROOT) : nullptr;
    std::array<wchar_t, std::size(FormClass) + 1> className{};
    if (!root || !GetClassNameW(root, className.data(), int(className.size()))
        || lstrcmpW(className.data(), FormClass) != 0)
        return nullptr;
    return reinterpret_cast<Form::Native *>(GetWindowLongPtrW(root, GWLP_USERDATA));
}

// The density the window's sizes are counted at: the one WM_DPICHANGED
// brought last, which the system reports too once the move is over.
inline UINT dpiOf(HWND window)
{
    if (const Form::Native *form = formOf(window); form && form->dpi)
        return form->dpi;
    const UINT dpi = window ? GetDpiForWindow(window) : 0;
    return dpi ? dpi : 96;
}

inline int twipsToPixels(int twips, UINT dpi)
{
    return MulDiv(twips, int(dpi), 1440);
}

// A control's place, from the window description's twips at its window's density.
inline void moveControl(HWND control, const Twips &place)
{
    const UINT dpi = dpiOf(control);
    MoveWindow(control, twipsToPixels(place.left, dpi), twipsToPixels(place.top, dpi),
               twipsToPixels(place.width, dpi), twipsToPixels(place.height, dpi), TRUE);
}

// The layer's default handling of a failure that escapes an event
// procedure: the same line as on Linux, to the debugger, and the program goes
// on answering events.
void reportUnhandled(std::u16string_view control, const char *event, const char *what) noexcept;

// Every event procedure runs through here: a failure that escapes one must
// not unwind through the system's message dispatch.
template <typename Procedure>
void dispatch(std::u16string_view control, const char *event, Procedure &&procedure) noexcept
{
    try {
        procedure();
    } catch (const std::exception &failure) {
        reportUnhandled(control, event, failure.what());
    } catch (...) {
        reportUnhandled(control, event, nullptr);
    }
}

// What a control of the given system class keeps of ours, from its handle.
template <typename Native> Native *controlOf(HWND control, const wchar_t *systemClass)
{
    std::array<wchar_t, 8> className{};
    GetClassNameW(control, className.data(), int(className.size()));
    if (lstrcmpiW(className.data(), systemClass) != 0)
        return nullptr;
    return reinterpret_cast<Native *>(GetWindowLongPtrW(control, GWLP_USERDATA));
}

// A window the forms cannot do without. Where the system refuses to make
// one, the user is told why, in their language, and the program ends rather
// than go on with a window that is not there.
HWND madeOrEnd(HWND window);

// The window's controls, as its procedure finds them from their handles.
[[nodiscard]] TextBox::Native *textBoxOf(HWND control);
[[nodiscard]] Label::Native *labelOf(HWND control);
void textChanged(TextBox::Native &box);
// The window shows more or less of the box: its text is fitted again.
void visibleWidthChanged(TextBox::Native &box);
// Moved to a screen of another density: placed again from twips, fonts made again.
void textBoxDensityChanged(TextBox::Native &box);
void labelDensityChanged(Label::Native &label);
// The box over the edges of the controls before it in the window's order.
void keepInFront(TextBox::Native &box);
[[nodiscard]] HBRUSH textBoxColors(TextBox::Native &box, HDC dc);
[[nodiscard]] HBRUSH labelColors(Label::Native &label, HDC dc);

} // namespace Monvert::Forms
