// SPDX-License-Identifier: MIT
#include "forms/textbox.h"

#include "forms/waits.h"
#include "forms/win32/native.h"

#include <commctrl.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <vector>

namespace Monvert::Forms {

namespace {

constexpr UINT_PTR SubclassId = 1;

std::int16_t shiftState()
{
    return std::int16_t((GetKeyState(VK_SHIFT) < 0 ? 1 : 0) | (GetKeyState(VK_CONTROL) < 0 ? 2 : 0)
                        | (GetKeyState(VK_MENU) < 0 ? 4 : 0));
}

HFONT fontOfHeight(TextBox::Native &native, LONG height)
{
    unique_hfont &font = native.fonts[height];
    if (!font) {
        LOGFONTW face = native.design;
        face.lfHeight = -height;
        // Outlines at every size: a bitmap face's small comma passes for a full stop.
        face.lfOutPrecision = OUT_TT_ONLY_PRECIS;
        face.lfQuality = CLEARTYPE_QUALITY;
        font.reset(CreateFontIndirectW(&face));
    }
    return font.get();
}

// Past the smallest size, the whole text is in the box's tooltip.
void showWholeText(TextBox::Native &native, std::wstring text)
{
    if (!native.tip) {
        if (text.empty())
            return;
        native.tip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                     WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                     CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, native.edit,
                                     nullptr, GetModuleHandleW(nullptr), nullptr);
        TTTOOLINFOW tool{};
        tool.cbSize = sizeof tool;
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = native.edit;
        tool.uId = reinterpret_cast<UINT_PTR>(native.edit);
        tool.lpszText = const_cast<wchar_t *>(L"");
        SendMessageW(native.tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = native.edit;
    tool.uId = reinterpret_cast<UINT_PTR>(native.edit);
    tool.lpszText = text.data();
    SendMessageW(native.tip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
}

// An ellipsis over the side where text is out of sight, never a clean cut
// between two digits that would pass for the whole amount; and over every
// character cut there, since half a digit reads as another (the right half
// of an 8 is a 3). Beside an ellipsis only whole characters show.
void markHiddenText(TextBox::Native &native)
{
    HWND edit = native.edit;
    const int length = GetWindowTextLengthW(edit);
    const LRESULT margins = SendMessageW(edit, EM_GETMARGINS, 0, 0);
    const WindowDC dc(edit);
    const SelectedObject font(dc.get(), fontOfHeight(native, native.height));
    // Where each character starts, from where the first one is and the
    // text's own advances: one question to the box and one measure. The box
    // answers each question about a position by measuring its whole line,
    // which may hold 32.767 characters.
    const int origin = int(short(LOWORD(SendMessageW(edit, EM_POSFROMCHAR, 0, 0))));
    std::wstring text(std::size_t(length) + 1, L'\0');
    GetWindowTextW(edit, text.data(), length + 1);
    std::vector<INT> ends(std::size_t(std::max(length, 1)));
    SIZE whole{};
    GetTextExtentExPointW(dc.get(), text.c_str(), length, 0, nullptr, ends.data(), &whole);
    const auto at = [&](int k) { return origin + (k > 0 ? int(ends[std::size_t(k) - 1]) : 0); };
    // The first character that starts at or after x (characters run left to right).
    const auto firstFrom = [&](int x) {
        int low = 0;
        int high = length;
        while (low < high) {
            const int middle = low + (high - low) / 2;
            if (at(middle) >= x)
                high = middle;
            else
                low = middle + 1;
        }
        return low;
    };
    const bool left = origin < int(LOWORD(margins));
    const bool right = length > 0 && (at(length) > native.seenRight || !left);
    SIZE size{};
    GetTextExtentPoint32W(dc.get(), L"\u2026", 1, &size);
    RECT client;
    GetClientRect(edit, &client);
    SetTextColor(dc.get(), GetSysColor(native.outOfDate ? COLOR_GRAYTEXT : COLOR_WINDOWTEXT));
    SetBkColor(dc.get(), GetSysColor(COLOR_WINDOW));
    for (const bool atLeft : {true, false}) {
        if (!(atLeft ? left : right))
            continue;
        RECT mark = client;
        if (atLeft) {
            mark.right = at(firstFrom(int(mark.left + size.cx + 2)));
        } else {
            mark.right = native.seenRight + 2;
            const int k = firstFrom(int(mark.right - size.cx - 1));
            mark.left = k > 0 ? at(k - 1) : mark.right - size.cx - 2;
        }
        ExtTextOutW(dc.get(), mark.left, mark.top, ETO_OPAQUE, &mark, nullptr, 0, nullptr);
        DrawTextW(dc.get(), L"\u2026", 1, &mark, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
}

// Calculators' small displays draw a long number smaller rather than cut it:
// the box does the same, down to two thirds of its size, within the part of
// it that the window shows.
void fitText(TextBox::Native &native)
{
    HWND edit = native.edit;
    const int length = GetWindowTextLengthW(edit);
    std::wstring text(std::size_t(length) + 1, L'\0');
    GetWindowTextW(edit, text.data(), length + 1);
    RECT box;
    GetClientRect(edit, &box);
    RECT window;
    GetClientRect(GetParent(edit), &window);
    POINT origin{0, 0};
    MapWindowPoints(edit, GetParent(edit), &origin, 1);
    const LRESULT margins = SendMessageW(edit, EM_GETMARGINS, 0, 0);
    const int room
        = std::min<int>(box.right, window.right - origin.x) - LOWORD(margins) - HIWORD(margins) - 2;
    const LONG full = std::abs(native.design.lfHeight);
    const LONG smallest = (full * 2 + 2) / 3;
    LONG height = smallest;
    bool fits = false; // a text longer than this fits at no size, and is not measured
    if (length <= 64) {
        const WindowDC dc(edit);
        for (height = full; height >= smallest; --height) {
            const SelectedObject font(dc.get(), fontOfHeight(native, height));
            SIZE size{};
            GetTextExtentPoint32W(dc.get(), text.c_str(), length, &size);
            fits = size.cx <= room;
            if (fits)
                break;
        }
        height = std::max(height, smallest);
    }
    if (height != native.height) {
        native.height = height;
        SendMessageW(edit, WM_SETFONT, reinterpret_cast<WPARAM>(fontOfHeight(native, height)),
                     TRUE);
    }
    native.seenRight = LOWORD(margins) + room;
    native.hidden = !fits;
    showWholeText(native, fits ? std::wstring() : text.substr(0, 256));
}

void showOutOfDate(TextBox::Native &native, bool outOfDate)
{
    if (native.outOfDate == outOfDate)
        return;
    native.outOfDate = outOfDate;
    InvalidateRect(native.edit, nullptr, TRUE);
}

void raiseChange(TextBox::Native &native)
{
    if (native.box && native.box->Change)
        dispatch(native.name, "Change", native.box->Change);
}

// The classic single-line box: the key procedures see every release, the
// keypad's decimal key types the regional separator, and Enter, which the
// box has no use for, makes no warning sound.
LRESULT CALLBACK editProcedure(HWND edit, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                               DWORD_PTR data)
{
    auto *native = reinterpret_cast<TextBox::Native *>(data);
    switch (message) {
    case WM_KEYDOWN: native->keypadDecimal = wParam == VK_DECIMAL; break;
    case WM_CHAR:
        if (wParam == L'\r' || wParam == L'\n')
            return 0;
        if (native->keypadDecimal && !native->decimal.empty()) {
            native->keypadDecimal = false;
            SendMessageW(edit, EM_REPLACESEL, TRUE,
                         reinterpret_cast<LPARAM>(native->decimal.c_str()));
            return 0;
        }
        break;
    case WM_PASTE: {
        // A paste waits on the clipboard's owner like a click on a label.
        const auto time = std::uint32_t(GetMessageTime());
        if (madeDuringWait(time))
            return 0;
        LRESULT result = 0;
        timed(time, [&] { result = DefSubclassProc(edit, message, wParam, lParam); });
        return result;
    }
    case WM_KEYUP:
        if (native->box && native->box->KeyUp) {
            const auto code = std::int16_t(wParam);
            const std::int16_t shift = shiftState();
            dispatch(native->name, "KeyUp",
                     [native, code, shift] { native->box->KeyUp(code, shift); });
        }
        return 0;
    case WM_PAINT: {
        const LRESULT result = DefSubclassProc(edit, message, wParam, lParam);
        if (native->hidden)
            markHiddenText(*native);
        return result;
    }
    case WM_NCDESTROY: RemoveWindowSubclass(edit, editProcedure, SubclassId); break;
    default: break;
    }
    return DefSubclassProc(edit, message, wParam, lParam);
}

} // namespace

TextBox::Native *textBoxOf(HWND control)
{
    return controlOf<TextBox::Native>(control, L"Edit");
}

void textChanged(TextBox::Native &native)
{
    fitText(native);
    showOutOfDate(native, false);
    if (native.setting)
        return;
    // Every change the program did not make is the user's, whatever its road.
    if (native.box && native.box->Edited)
        dispatch(native.name, "Edited", native.box->Edited);
    raiseChange(native);
}

HBRUSH textBoxColors(TextBox::Native &native, HDC dc)
{
    SetTextColor(dc, GetSysColor(native.outOfDate ? COLOR_GRAYTEXT : COLOR_WINDOWTEXT));
    SetBkColor(dc, GetSysColor(COLOR_WINDOW));
    return GetSysColorBrush(COLOR_WINDOW);
}

TextBox::TextBox(Form &form, std::u16string_view name)
    : m_native(std::make_unique<Native>())
{
    m_native->box = this;
    m_native->name = name;
    HWND parent = form.native().window.get();
    m_native->edit = madeOrEnd(CreateWindowExW(
        WS_EX_CLIENTEDGE, L"Edit", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, 0, 0,
        10, 10, parent, nullptr, GetModuleHandleW(nullptr), nullptr));
    SetWindowLongPtrW(m_native->edit, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(m_native.get()));
    SetWindowSubclass(m_native->edit, editProcedure, SubclassId,
                      reinterpret_cast<DWORD_PTR>(m_native.get()));
    SendMessageW(m_native->edit, EM_LIMITTEXT, MaxLength, 0);
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpiOf(parent));
    m_native->design = metrics.lfMessageFont;
    m_native->height = std::abs(m_native->design.lfHeight);
    SendMessageW(m_native->edit, WM_SETFONT,
                 reinterpret_cast<WPARAM>(fontOfHeight(*m_native, m_native->height)), FALSE);
}

TextBox::~TextBox()
{
    RemoveWindowSubclass(m_native->edit, editProcedure, SubclassId);
    SetWindowLongPtrW(m_native->edit, GWLP_USERDATA, 0);
}

void TextBox::Move(const Twips &place)
{
    m_native->place = place;
    moveControl(m_native->edit, place);
}

void textBoxDensityChanged(TextBox::Native &native)
{
    moveControl(native.edit, native.place);
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0,
                               dpiOf(native.edit));
    native.design = metrics.lfMessageFont;
    // The old sizes live until the box has let go of them.
    const auto old = std::move(native.fonts);
    native.fonts.clear();
    native.height = std::abs(native.design.lfHeight);
    SendMessageW(native.edit, WM_SETFONT,
                 reinterpret_cast<WPARAM>(fontOfHeight(native, native.height)), TRUE);
    fitText(native);
}

void TextBox::BringToFront()
{
    m_native->inFront = true;
    keepInFront(*m_native);
}

void keepInFront(TextBox::Native &native)
{
    if (!native.inFront)
        return;
    // Not by moving the box up the window's order: a screen reader names a
    // box by the static text just before it there. The controls before it
    // that it overlaps give up the overlap instead.
    RECT box{};
    GetWindowRect(native.edit, &box);
    for (HWND sibling = GetWindow(native.edit, GW_HWNDPREV); sibling;
         sibling = GetWindow(sibling, GW_HWNDPREV)) {
        RECT place{};
        RECT overlap{};
        GetWindowRect(sibling, &place);
        if (!IntersectRect(&overlap, &place, &box))
            continue;
        OffsetRect(&overlap, -place.left, -place.top);
        HRGN kept = CreateRectRgn(0, 0, place.right - place.left, place.bottom - place.top);
        HRGN covered = CreateRectRgnIndirect(&overlap);
        CombineRgn(kept, kept, covered, RGN_DIFF);
        DeleteObject(covered);
        // The system owns the region from here on.
        SetWindowRgn(sibling, kept, TRUE);
    }
}

std::u16string TextBox::Text() const
{
    const int length = GetWindowTextLengthW(m_native->edit);
    std::wstring text(std::size_t(length) + 1, L'\0');
    GetWindowTextW(m_native->edit, text.data(), length + 1);
    text.resize(std::size_t(length));
    return plain(text);
}

void TextBox::SetText(std::u16string_view text)
{
    // A set raises Change once, with the caret at the start, even when the
    // text is the one the box already shows.
    m_native->setting = true;
    SetWindowTextW(m_native->edit, wide(text.substr(0, MaxLength)).c_str());
    SendMessageW(m_native->edit, EM_SETSEL, 0, 0);
    m_native->setting = false;
    showOutOfDate(*m_native, false);
    raiseChange(*m_native);
}

void TextBox::SetSelStart(int start)
{
    SendMessageW(m_native->edit, EM_SETSEL, WPARAM(start), LPARAM(start));
}

void TextBox::SetSelLength(int length)
{
    DWORD start = 0;
    SendMessageW(m_native->edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), 0);
    const int available = GetWindowTextLengthW(m_native->edit) - int(start);
    SendMessageW(m_native->edit, EM_SETSEL, start,
                 LPARAM(int(start) + std::clamp(length, 0, available)));
}

std::u16string TextBox::SelText() const
{
    DWORD start = 0;
    DWORD end = 0;
    SendMessageW(m_native->edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    return Text().substr(start, end - start);
}

void TextBox::SetFocus()
{
    ::SetFocus(m_native->edit);
}

void TextBox::SetOutOfDate()
{
    showOutOfDate(*m_native, true);
}

bool TextBox::OutOfDate() const
{
    return m_native->outOfDate;
}

void TextBox::SetKeypadDecimal(std::u16string_view separator)
{
    m_native->decimal = wide(separator);
}

void Beep()
{
    MessageBeep(MB_OK);
}

} // namespace Monvert::Forms
