// SPDX-License-Identifier: MIT
#include "forms/label.h"

#include "forms/waits.h"
#include "forms/win32/native.h"

#include <commctrl.h>
#include <oleacc.h>
#include <windowsx.h>

#include <array>

namespace Monvert::Forms {

namespace {

constexpr UINT_PTR SubclassId = 2;
// Where the label keeps what is ours: a window property, which the system
// keeps for it, and the one place its procedure finds it.
constexpr wchar_t LabelProperty[] = L"Monvert.Label";

// The face the window was designed with, at a density.
unique_hfont captionFont(UINT dpi, bool bold)
{
    LOGFONTW font{};
    font.lfHeight = -MulDiv(825, int(dpi), 7200);
    font.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    font.lfCharSet = DEFAULT_CHARSET;
    lstrcpyW(font.lfFaceName, L"MS Sans Serif");
    return unique_hfont(CreateFontIndirectW(&font));
}

void raiseMouse(Label::Native &native, Label::MouseProcedure Label::*procedure, std::int16_t button,
                LPARAM position)
{
    if (!native.label || !(native.label->*procedure))
        return;
    const float x = float(MulDiv(GET_X_LPARAM(position), 1440, int(native.dpi)));
    const float y = float(MulDiv(GET_Y_LPARAM(position), 1440, int(native.dpi)));
    const std::int16_t shift = shiftState();
    const char *event = procedure == &Label::MouseDown ? "MouseDown" : "MouseUp";
    dispatch(native.name, event, [&] { (native.label->*procedure)(button, shift, x, y); });
}

LRESULT labelMouse(HWND control, UINT message, WPARAM wParam, LPARAM lParam, Label::Native *native);

// Events in the order the window's procedures were written for: a click is
// MouseDown, MouseUp, Click; a double-click MouseDown, MouseUp, Click,
// DblClick, MouseUp.
LRESULT CALLBACK labelProcedure(HWND control, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                DWORD_PTR)
{
    Label::Native *native = labelOf(control);
    if (!native)
        return DefSubclassProc(control, message, wParam, lParam);
    if (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST && message != WM_MOUSEMOVE) {
        // Clicks queued behind a wait on another program would each wait again.
        const auto time = std::uint32_t(GetMessageTime());
        if (madeDuringWait(time))
            return 0;
        LRESULT result = 0;
        timed(time, [&] { result = labelMouse(control, message, wParam, lParam, native); });
        return result;
    }
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(control, labelProcedure, SubclassId);
        RemovePropW(control, LabelProperty);
    }
    return DefSubclassProc(control, message, wParam, lParam);
}

LRESULT labelMouse(HWND control, UINT message, WPARAM wParam, LPARAM lParam, Label::Native *native)
{
    switch (message) {
    case WM_LBUTTONDOWN:
        SetCapture(control);
        native->clickArmed = true;
        raiseMouse(*native, &Label::MouseDown, 1, lParam);
        return 0;
    case WM_LBUTTONUP: {
        ReleaseCapture();
        RECT client;
        GetClientRect(control, &client);
        const POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        const bool click = native->clickArmed && PtInRect(&client, at);
        native->clickArmed = false;
        raiseMouse(*native, &Label::MouseUp, 1, lParam);
        if (click && native->label && native->label->Click)
            dispatch(native->name, "Click", native->label->Click);
        return 0;
    }
    case WM_LBUTTONDBLCLK:
        native->clickArmed = false;
        SetCapture(control);
        if (native->label && native->label->DblClick)
            dispatch(native->name, "DblClick", native->label->DblClick);
        return 0;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK: raiseMouse(*native, &Label::MouseDown, 2, lParam); return 0;
    case WM_RBUTTONUP: raiseMouse(*native, &Label::MouseUp, 2, lParam); return 0;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK: raiseMouse(*native, &Label::MouseDown, 4, lParam); return 0;
    case WM_MBUTTONUP: raiseMouse(*native, &Label::MouseUp, 4, lParam); return 0;
    default: return DefSubclassProc(control, message, wParam, lParam);
    }
}

} // namespace

Label::Native *labelOf(HWND control)
{
    return static_cast<Label::Native *>(GetPropW(control, LabelProperty));
}

HBRUSH labelColors(Label::Native &native, HDC dc)
{
    SetTextColor(dc, colorRef(native.fore));
    SetBkColor(dc, colorRef(native.back));
    if (!native.brush)
        native.brush.reset(CreateSolidBrush(colorRef(native.back)));
    return native.brush.get();
}

Label::Label(Form &form, std::u16string_view name, std::u16string_view caption)
    : m_native(std::make_unique<Native>())
{
    m_native->label = this;
    m_native->name = name;
    HWND parent = form.native().window.get();
    // A screen reader hears a static text as the name of the box after it.
    m_native->control = madeOrEnd(
        CreateWindowExW(0, L"Static", wide(caption).c_str(),
                        WS_CHILD | WS_VISIBLE | WS_BORDER | SS_CENTER | SS_CENTERIMAGE | SS_NOTIFY,
                        0, 0, 10, 10, parent, nullptr, GetModuleHandleW(nullptr), nullptr));
    SetPropW(m_native->control, LabelProperty, m_native.get());
    SetWindowSubclass(m_native->control, labelProcedure, SubclassId, 0);
    m_native->dpi = form.native().dpi;
    makeFonts(*m_native);
}

Label::~Label()
{
    RemoveWindowSubclass(m_native->control, labelProcedure, SubclassId);
    RemovePropW(m_native->control, LabelProperty);
}

void Label::Move(const Twips &place)
{
    m_native->place = place;
    moveControl(m_native->control, place, m_native->dpi);
}

void makeFonts(Label::Native &native)
{
    // The old fonts live until the control has let go of them.
    unique_hfont bold = captionFont(native.dpi, true);
    unique_hfont normal = captionFont(native.dpi, false);
    SendMessageW(native.control, WM_SETFONT,
                 reinterpret_cast<WPARAM>((native.isBold ? bold : normal).get()), TRUE);
    native.bold = std::move(bold);
    native.normal = std::move(normal);
}

void Label::SetBackColor(Color color)
{
    m_native->back = color;
    m_native->brush.reset();
    InvalidateRect(m_native->control, nullptr, TRUE);
}

void Label::SetForeColor(Color color)
{
    m_native->fore = color;
    InvalidateRect(m_native->control, nullptr, TRUE);
}

bool Label::FontBold() const
{
    return m_native->isBold;
}

void Label::SetFontBold(bool bold)
{
    m_native->isBold = bold;
    SendMessageW(m_native->control, WM_SETFONT,
                 reinterpret_cast<WPARAM>((bold ? m_native->bold : m_native->normal).get()), TRUE);
}

void Label::Names(TextBox &box)
{
    // A screen reader names a box by the static text before it in the
    // window's order, a rule the Lire box, brought to the front over the
    // edge of its label, no longer meets: the name is given outright, as a
    // dynamic annotation of the box.
    IAccPropServices *services = nullptr;
    if (FAILED(CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IAccPropServices, reinterpret_cast<void **>(&services))))
        return;
    std::wstring caption(std::size_t(GetWindowTextLengthW(m_native->control)) + 1, L'\0');
    caption.resize(
        std::size_t(GetWindowTextW(m_native->control, caption.data(), int(caption.size()))));
    services->SetHwndPropStr(box.native().edit, DWORD(OBJID_CLIENT), CHILDID_SELF, PROPID_ACC_NAME,
                             caption.data());
    services->Release();
}

} // namespace Monvert::Forms
