// SPDX-License-Identifier: MIT
#include "forms/textbox.h"

#include "forms/waits.h"
#include "forms/win32/native.h"
#include "rules/messages.h"
#include "rules/utf8.h"

#include <commctrl.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <vector>

namespace Monvert::Forms {

namespace {

constexpr UINT_PTR SubclassId = 1;
// Where the box keeps what is ours: a window property, which the system keeps
// for it, and the one place its procedures find it.
constexpr wchar_t TextBoxProperty[] = L"Monvert.TextBox";

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

// The box's tooltip has two tools: the one shown when the mouse rests on the
// box, and one the program shows at once (ShowToolTip).
constexpr UINT_PTR ShownAtOnce = 1;
constexpr UINT_PTR HideTipTimer = 1;

TTTOOLINFOW toolOf(const TextBox::Native &native, UINT_PTR id)
{
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = native.edit;
    tool.uId = id;
    return tool;
}

} // namespace

void showExplanation(TextBox &box, const std::vector<std::u16string> &lines)
{
    TextBox::Native &native = box.native();
    std::u16string joined;
    for (const std::u16string &line : lines)
        joined += (joined.empty() ? u"" : u"\r\n") + line;
    if (!native.tip) {
        if (joined.empty())
            return;
        native.tip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                     WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                     CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, native.edit,
                                     nullptr, GetModuleHandleW(nullptr), nullptr);
        // A width makes it break its lines where the text does.
        SendMessageW(native.tip, TTM_SETMAXTIPWIDTH, 0, 600);
        for (const UINT_PTR id : {reinterpret_cast<UINT_PTR>(native.edit), ShownAtOnce}) {
            TTTOOLINFOW tool = toolOf(native, id);
            tool.uFlags
                = id == ShownAtOnce ? TTF_TRACK | TTF_ABSOLUTE : TTF_IDISHWND | TTF_SUBCLASS;
            tool.lpszText = const_cast<wchar_t *>(L"");
            SendMessageW(native.tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
        }
    }
    std::wstring text = wide(joined);
    for (const UINT_PTR id : {reinterpret_cast<UINT_PTR>(native.edit), ShownAtOnce}) {
        TTTOOLINFOW tool = toolOf(native, id);
        tool.lpszText = text.data();
        SendMessageW(native.tip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

std::u16string textStart(const TextBox &box, std::size_t length)
{
    HWND edit = box.native().edit;
    std::wstring text(std::min(length, std::size_t(GetWindowTextLengthW(edit))) + 1, L'\0');
    text.resize(std::size_t(GetWindowTextW(edit, text.data(), int(text.size()))));
    return plain(text);
}

std::u16string boxName(const TextBox &box)
{
    return box.native().name;
}

void drawOutOfDate(TextBox &box)
{
    InvalidateRect(box.native().edit, nullptr, TRUE);
}

void writeText(TextBox &box, std::u16string_view text)
{
    // The box's limit holds for typing and pasting only.
    HWND edit = box.native().edit;
    const auto limit = std::size_t(SendMessageW(edit, EM_GETLIMITTEXT, 0, 0));
    SetWindowTextW(edit, wide(text.substr(0, limit)).c_str());
    SendMessageW(edit, EM_SETSEL, 0, 0);
}

namespace {

// Where the part of the box the window shows ends, in the box's client
// coordinates: the box's own edge, or the window's where it cuts the box.
int visibleRight(HWND edit)
{
    RECT box;
    GetClientRect(edit, &box);
    RECT window;
    GetClientRect(GetParent(edit), &window);
    POINT origin{0, 0};
    MapWindowPoints(edit, GetParent(edit), &origin, 1);
    return std::min<int>(box.right, window.right - origin.x);
}

// An ellipsis over the side where text is out of sight, never a clean cut
// between two digits that would pass for the whole amount; and over every
// character cut there, since half a digit reads as another (the right half
// of an 8 is a 3). Beside an ellipsis only whole characters show. Worked out
// once per change of the text, the scroll or the sizes, from the box's own
// places of the few characters at its edges: a text as long as a box holds
// costs as little as a short one.
const std::vector<RECT> &hiddenTextMarks(TextBox::Native &native)
{
    HWND edit = native.edit;
    // A single-line box scrolls by whole characters.
    const auto first = int(SendMessageW(edit, EM_GETFIRSTVISIBLELINE, 0, 0));
    RECT client;
    GetClientRect(edit, &client);
    const int right = visibleRight(edit);
    TextBox::Native::Marks &marks = native.marks;
    const TextBox::Native::Marks::Key key{native.revision, first,         client.right,
                                          right,           client.bottom, native.height};
    if (marks.key == key)
        return marks.rects;
    marks.key = key;
    marks.rects.clear();

    const int length = GetWindowTextLengthW(edit);
    if (length == 0)
        return marks.rects;
    // Where the box puts the character, in its client area.
    const auto at = [edit](int k) {
        return int(short(LOWORD(SendMessageW(edit, EM_POSFROMCHAR, WPARAM(k), 0))));
    };
    const WindowDC dc(edit);
    const SelectedObject font(dc.get(), fontOfHeight(native, native.height));
    SIZE ellipsis{};
    GetTextExtentPoint32W(dc.get(), L"\u2026", 1, &ellipsis);
    // A single-line box's boundaries are its characters'.
    Boundaries boundaries{at, [](int k) { return k + 1; }, [](int k) { return k - 1; }, first,
                          length};
    if (first > 0) {
        const int k = firstBoundaryFrom(client.left + ellipsis.cx + 2, first, boundaries);
        marks.rects.push_back({client.left, client.top, k < length ? at(k) : right, client.bottom});
    }
    // Does the last character reach past the edge the window shows? The box
    // places no position after it.
    std::wstring text(std::size_t(length) + 1, L'\0');
    GetWindowTextW(edit, text.data(), length + 1);
    SIZE last{};
    GetTextExtentPoint32W(dc.get(), &text[std::size_t(length) - 1], 1, &last);
    if (at(length - 1) + last.cx > right) {
        // Up to the edge the window shows, margin included: text is drawn there too.
        const int before = right - ellipsis.cx - 1;
        const int guess = std::clamp(
            int(LOWORD(SendMessageW(edit, EM_CHARFROMPOS, 0, MAKELPARAM(std::max(before, 0), 1)))),
            first, length - 1);
        // The box places no boundary after the last character.
        boundaries.last = length - 1;
        const int k = lastBoundaryTo(before - 1, guess, boundaries);
        marks.rects.push_back({at(k), client.top, right, client.bottom});
    }
    return marks.rects;
}

void markHiddenText(TextBox::Native &native)
{
    const std::vector<RECT> &marks = hiddenTextMarks(native);
    const WindowDC dc(native.edit);
    const SelectedObject font(dc.get(), fontOfHeight(native, native.height));
    SetTextColor(dc.get(),
                 GetSysColor(native.box->state().outOfDate ? COLOR_GRAYTEXT : COLOR_WINDOWTEXT));
    SetBkColor(dc.get(), GetSysColor(COLOR_WINDOW));
    for (RECT mark : marks) {
        ExtTextOutW(dc.get(), mark.left, mark.top, ETO_OPAQUE, &mark, nullptr, 0, nullptr);
        DrawTextW(dc.get(), L"\u2026", 1, &mark, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
}

// The box draws its selection in the system's highlight colours whatever
// WM_CTLCOLOREDIT answers, and those would make an old amount look live. An
// out-of-date box's selection, shown while it has the focus, is drawn again
// in the colours of a face that takes no input.
void greySelection(TextBox::Native &native)
{
    HWND edit = native.edit;
    DWORD start = 0;
    DWORD end = 0;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    if (start >= end || GetFocus() != edit)
        return;
    RECT client;
    GetClientRect(edit, &client);
    client.right = visibleRight(edit);
    // Only the part in sight is drawn again, however long the selection: a
    // single-line box scrolls by whole characters.
    const auto first = DWORD(SendMessageW(edit, EM_GETFIRSTVISIBLELINE, 0, 0));
    const auto last = DWORD(LOWORD(
        SendMessageW(edit, EM_CHARFROMPOS, 0, MAKELPARAM(std::max<LONG>(client.right, 0), 1))));
    start = std::max(start, first);
    end = std::min(end, last + 2);
    if (start >= end)
        return;
    const int length = GetWindowTextLengthW(edit);
    std::wstring text(std::size_t(length) + 1, L'\0');
    GetWindowTextW(edit, text.data(), length + 1);
    end = std::min(end, DWORD(length));
    const LRESULT place = SendMessageW(edit, EM_POSFROMCHAR, WPARAM(start), 0);
    const WindowDC dc(edit);
    const SelectedObject font(dc.get(), fontOfHeight(native, native.height));
    SIZE extent{};
    GetTextExtentPoint32W(dc.get(), &text[start], int(end - start), &extent);
    const int x = short(LOWORD(place));
    const int y = short(HIWORD(place));
    RECT selection{std::max<LONG>(x, client.left), std::max<LONG>(y, client.top),
                   std::min<LONG>(x + extent.cx, client.right),
                   std::min<LONG>(y + extent.cy, client.bottom)};
    if (selection.left >= selection.right)
        return;
    HideCaret(edit);
    SetTextColor(dc.get(), GetSysColor(COLOR_GRAYTEXT));
    SetBkColor(dc.get(), GetSysColor(COLOR_BTNFACE));
    ExtTextOutW(dc.get(), x, y, ETO_OPAQUE | ETO_CLIPPED, &selection, &text[start],
                UINT(end - start), nullptr);
    ShowCaret(edit);
}

// A long text is drawn smaller, a pixel of height at a time (the system's
// fonts have whole heights), within the part of the box the window shows.
void fitText(TextBox::Native &native)
{
    HWND edit = native.edit;
    const int length = GetWindowTextLengthW(edit);
    const LRESULT margins = SendMessageW(edit, EM_GETMARGINS, 0, 0);
    const int room = visibleRight(edit) - LOWORD(margins) - HIWORD(margins) - 2;
    const LONG full = std::abs(native.design.lfHeight);
    std::wstring text;
    std::optional<WindowDC> dc;
    const FittedSize fitted = fittedSize(std::size_t(length), double(full), 1, [&](double at) {
        if (!dc) {
            text.assign(std::size_t(length) + 1, L'\0');
            GetWindowTextW(edit, text.data(), length + 1);
            dc.emplace(edit);
        }
        const SelectedObject font(dc->get(), fontOfHeight(native, LONG(at)));
        SIZE size{};
        GetTextExtentPoint32W(dc->get(), text.c_str(), length, &size);
        return size.cx <= room;
    });
    if (const auto height = LONG(std::ceil(fitted.size)); height != native.height) {
        native.height = height;
        SendMessageW(edit, WM_SETFONT, reinterpret_cast<WPARAM>(fontOfHeight(native, height)),
                     TRUE);
    }
    if (native.box)
        native.box->fitted(fitted.hidden);
}

// The classic single-line box: the key procedures see every release, the
// keypad's decimal key types the regional separator, and Enter, which the
// box has no use for, makes no warning sound.
LRESULT CALLBACK editProcedure(HWND edit, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                               DWORD_PTR)
{
    TextBox::Native *native = textBoxOf(edit);
    if (!native)
        return DefSubclassProc(edit, message, wParam, lParam);
    if (message == WM_KEYDOWN)
        native->keypadDecimal = wParam == VK_DECIMAL;
    switch (message) {
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
        if (native->box->state().outOfDate)
            greySelection(*native);
        if (native->box->state().hidden)
            markHiddenText(*native);
        return result;
    }
    // The box draws a selection the mouse or the keyboard changes at once,
    // not in WM_PAINT: drawn again, an out-of-date one is grey.
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_KEYDOWN:
    case WM_SETFOCUS:
    case EM_SETSEL:
        if (native->box->state().outOfDate) {
            // EM_GETSEL packs both ends into its result.
            const LRESULT before = SendMessageW(edit, EM_GETSEL, 0, 0);
            const LRESULT result = DefSubclassProc(edit, message, wParam, lParam);
            if (message == WM_SETFOCUS || SendMessageW(edit, EM_GETSEL, 0, 0) != before)
                InvalidateRect(edit, nullptr, FALSE);
            return result;
        }
        break;
    case WM_TIMER:
        if (wParam == HideTipTimer) {
            KillTimer(edit, HideTipTimer);
            TTTOOLINFOW tool = toolOf(*native, ShownAtOnce);
            SendMessageW(native->tip, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&tool));
            return 0;
        }
        break;
    case WM_NCDESTROY:
        // As the system asks: what a window was given is taken back before it is gone.
        RemoveWindowSubclass(edit, editProcedure, SubclassId);
        RemovePropW(edit, TextBoxProperty);
        break;
    default: break;
    }
    return DefSubclassProc(edit, message, wParam, lParam);
}

} // namespace

TextBox::Native *textBoxOf(HWND control)
{
    return static_cast<TextBox::Native *>(GetPropW(control, TextBoxProperty));
}

void textChanged(TextBox::Native &native)
{
    ++native.revision;
    fitText(native);
    if (native.box)
        native.box->textChanged();
}

void visibleWidthChanged(TextBox::Native &native)
{
    fitText(native);
}

HBRUSH textBoxColors(TextBox::Native &native, HDC dc)
{
    SetTextColor(dc,
                 GetSysColor(native.box->state().outOfDate ? COLOR_GRAYTEXT : COLOR_WINDOWTEXT));
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
    SetPropW(m_native->edit, TextBoxProperty, m_native.get());
    SetWindowSubclass(m_native->edit, editProcedure, SubclassId, 0);
    m_native->dpi = form.native().dpi;
    makeFonts(*m_native);
}

TextBox::~TextBox()
{
    RemoveWindowSubclass(m_native->edit, editProcedure, SubclassId);
    RemovePropW(m_native->edit, TextBoxProperty);
}

void TextBox::Move(const Twips &place)
{
    m_native->place = place;
    moveControl(m_native->edit, place, m_native->dpi);
}

void makeFonts(TextBox::Native &native)
{
    // The message font, which the user chooses, at the box's density.
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, native.dpi);
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

void TextBox::ShowToolTip()
{
    Native &native = *m_native;
    if (!native.tip)
        return;
    // Under the box, or under the window while it is folded.
    RECT under{};
    GetWindowRect(IsWindowVisible(native.edit) ? native.edit : GetParent(native.edit), &under);
    SendMessageW(native.tip, TTM_TRACKPOSITION, 0, MAKELPARAM(under.left, under.bottom));
    TTTOOLINFOW tool = toolOf(native, ShownAtOnce);
    SendMessageW(native.tip, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&tool));
    // Gone again after as long as a tooltip stays when the mouse rests.
    SetTimer(native.edit, HideTipTimer,
             UINT(SendMessageW(native.tip, TTM_GETDELAYTIME, TTDT_AUTOPOP, 0)), nullptr);
}

void TextBox::SetKeypadDecimal(std::u16string_view separator)
{
    m_native->decimal = wide(separator);
}

void TextBox::SetMaxLength(int length)
{
    SendMessageW(m_native->edit, EM_LIMITTEXT, WPARAM(length), 0);
}

void Beep()
{
    MessageBeep(MB_OK);
}

} // namespace Monvert::Forms
