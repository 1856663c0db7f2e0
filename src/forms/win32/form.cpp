// SPDX-License-Identifier: MIT
#include "forms/form.h"

#include "forms/placement.h"
#include "forms/win32/native.h"

#include <algorithm>

namespace Monvert::Forms {

namespace {

constexpr DWORD Style = WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD ExStyle = WS_EX_TOOLWINDOW;

LRESULT formMessage(Form::Native &native, HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        if (HIWORD(wParam) == EN_CHANGE) {
            if (TextBox::Native *box = textBoxOf(reinterpret_cast<HWND>(lParam)))
                textChanged(*box);
            return 0;
        }
        break;
    case WM_CTLCOLOREDIT:
        if (TextBox::Native *box = textBoxOf(reinterpret_cast<HWND>(lParam)))
            return reinterpret_cast<LRESULT>(textBoxColors(*box, reinterpret_cast<HDC>(wParam)));
        break;
    case WM_CTLCOLORSTATIC:
        if (Label::Native *label = labelOf(reinterpret_cast<HWND>(lParam)))
            return reinterpret_cast<LRESULT>(labelColors(*label, reinterpret_cast<HDC>(wParam)));
        break;
    case WM_ERASEBKGND:
        if (native.background) {
            RECT client;
            GetClientRect(window, &client);
            FillRect(reinterpret_cast<HDC>(wParam), &client, native.background.get());
            return 1;
        }
        break;
    case WM_GETMINMAXINFO:
        // The system keeps a captioned window wide enough for its caption's
        // buttons; folded to the "Eu" label this one is narrower by design.
        reinterpret_cast<MINMAXINFO *>(lParam)->ptMinTrackSize = {1, 1};
        return 0;
    case WM_DPICHANGED:
        // As the system's samples do: the suggested rectangle, then every
        // control placed again from its twips and its font made again.
        {
            native.dpi = LOWORD(wParam);
            const RECT &suggested = *reinterpret_cast<const RECT *>(lParam);
            ::SetWindowPos(window, nullptr, suggested.left, suggested.top,
                           suggested.right - suggested.left, suggested.bottom - suggested.top,
                           SWP_NOZORDER | SWP_NOACTIVATE);
            for (HWND child = GetWindow(window, GW_CHILD); child;
                 child = GetWindow(child, GW_HWNDNEXT))
                densityChanged(child, native.dpi);
            for (HWND child = GetWindow(window, GW_CHILD); child;
                 child = GetWindow(child, GW_HWNDNEXT)) {
                if (TextBox::Native *box = textBoxOf(child))
                    keepInFront(*box);
            }
            InvalidateRect(window, nullptr, TRUE);
            return 0;
        }
    case WM_ACTIVATE:
        // As the dialog manager does: the control that had the focus when
        // the window was left has it again when the window comes back, which
        // DefWindowProc would give to the bare window, where keys go nowhere.
        if (LOWORD(wParam) == WA_INACTIVE) {
            if (HWND focused = GetFocus();
                focused && (focused == window || IsChild(window, focused)))
                native.lastFocus = focused;
        } else if (!HIWORD(wParam)) {
            HWND focus = native.lastFocus && IsWindow(native.lastFocus)
                    && (native.lastFocus == window || IsWindowVisible(native.lastFocus))
                ? native.lastFocus
                : GetNextDlgTabItem(window, nullptr, FALSE);
            ::SetFocus(focus ? focus : window);
        }
        return 0;
    case WM_SETTINGCHANGE:
    case WM_SYSCOLORCHANGE:
        // A new message font or new colours: the controls are told, as the
        // system asks of a top-level window, and the boxes take the font.
        for (HWND child = GetWindow(window, GW_CHILD); child;
             child = GetWindow(child, GW_HWNDNEXT)) {
            SendMessageW(child, message, wParam, lParam);
            if (TextBox::Native *box = textBoxOf(child))
                makeFonts(*box);
        }
        InvalidateRect(window, nullptr, TRUE);
        return 0;
    case WM_CONVERT:
    case WM_HOTKEY: {
        // Another start, or a shortcut pressed in any application: the
        // window converts the clipboard and leaves the focus where it is.
        ClipboardOutcome outcome;
        if (native.form->ConvertClipboard && (wParam == 1 || wParam == 2))
            dispatch(u"Form", "ConvertClipboard", [&native, wParam, &outcome] {
                outcome = native.form->ConvertClipboard(wParam == 1 ? ClipboardCommand::FromLire
                                                                    : ClipboardCommand::FromEuro);
            });
        // The start that asked waits in its send for this, with a window of
        // its own to be told the whole outcome, its text included.
        if (auto *asker = reinterpret_cast<HWND>(lParam);
            message == WM_CONVERT && IsWindow(asker)) {
            std::string bytes = packed(outcome);
            COPYDATASTRUCT data{OutcomeData, DWORD(bytes.size()), bytes.data()};
            SendMessageTimeoutW(asker, WM_COPYDATA, reinterpret_cast<WPARAM>(window),
                                reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG, 2000, nullptr);
        }
        return outcome.kind;
    }
    case WM_REOPEN:
        dispatch(u"Form", "Reopened", [&native] { native.form->BringBack(); });
        return 0;
    case WM_DESTROY:
        // Closing the window ends the program.
        PostQuitMessage(0);
        return 0;
    default: break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// As the system's samples do: the form's data comes with its creation and
// is kept from WM_NCCREATE on. Before it (WM_GETMINMAXINFO comes first) and
// once the form has let go of it, the window is the system's alone.
LRESULT CALLBACK formProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE)
        SetWindowLongPtrW(
            window, GWLP_USERDATA,
            reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW *>(lParam)->lpCreateParams));
    auto *native = reinterpret_cast<Form::Native *>(GetWindowLongPtrW(window, GWLP_USERDATA));
    return native ? formMessage(*native, window, message, wParam, lParam)
                  : DefWindowProcW(window, message, wParam, lParam);
}

void registerClass()
{
    static const bool registered = [] {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = formProcedure;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.hIcon = LoadIconW(windowClass.hInstance, L"IDI_ICON1");
        windowClass.hIconSm = windowClass.hIcon;
        windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        windowClass.lpszClassName = FormClass;
        return RegisterClassExW(&windowClass) != 0;
    }();
    (void)registered;
}

// The outer size for a client area, with this window's own frame.
SIZE outerSize(int clientWidth, int clientHeight, UINT dpi)
{
    RECT rect{0, 0, clientWidth, clientHeight};
    AdjustWindowRectExForDpi(&rect, Style, FALSE, ExStyle, dpi);
    return {rect.right - rect.left, rect.bottom - rect.top};
}

} // namespace

void densityChanged(HWND control, UINT dpi)
{
    if (TextBox::Native *box = textBoxOf(control)) {
        box->dpi = dpi;
        moveControl(control, box->place, dpi);
        makeFonts(*box);
    } else if (Label::Native *label = labelOf(control)) {
        label->dpi = dpi;
        moveControl(control, label->place, dpi);
        makeFonts(*label);
    }
}

Form::Form()
    : m_native(std::make_unique<Native>())
{
    registerClass();
    m_native->form = this;
    m_native->window.reset(madeOrEnd(CreateWindowExW(ExStyle, FormClass, L"", Style, CW_USEDEFAULT,
                                                     CW_USEDEFAULT, 100, 40, nullptr, nullptr,
                                                     GetModuleHandleW(nullptr), m_native.get())));
    if (const UINT dpi = GetDpiForWindow(m_native->window.get()))
        m_native->dpi = dpi;
}

Form::~Form()
{
    // Closing by the program itself is no close by the user.
    if (m_native->window)
        SetWindowLongPtrW(m_native->window.get(), GWLP_USERDATA, 0);
}

void Form::SetCaption(std::u16string_view caption)
{
    SetWindowTextW(m_native->window.get(), wide(caption).c_str());
}

void Form::SetBackColor(Color color)
{
    m_native->background.reset(CreateSolidBrush(colorRef(color)));
    InvalidateRect(m_native->window.get(), nullptr, TRUE);
}

void Form::SetClientArea(const Twips &area)
{
    m_native->clientArea = area;
    HWND window = m_native->window.get();
    const UINT dpi = m_native->dpi;
    const SIZE outer
        = outerSize(twipsToPixels(area.width, dpi), twipsToPixels(area.height, dpi), dpi);
    ::SetWindowPos(window, nullptr, twipsToPixels(area.left, dpi), twipsToPixels(area.top, dpi),
                   outer.cx, outer.cy, SWP_NOZORDER | SWP_NOACTIVATE);
}

float Form::Width() const
{
    HWND window = m_native->window.get();
    const UINT dpi = m_native->dpi;
    RECT client;
    GetClientRect(window, &client);
    const int outer
        = client.right + MulDiv(ReferenceFrame.left + ReferenceFrame.right, int(dpi), 96);
    return m_native->width ? *m_native->width : float(MulDiv(outer, 1440, int(dpi)));
}

void Form::SetWidth(float twips)
{
    m_native->width = twips;
    HWND window = m_native->window.get();
    const UINT dpi = m_native->dpi;
    RECT client;
    GetClientRect(window, &client);
    const int width
        = std::max(1,
                   MulDiv(int(twips), int(dpi), 1440)
                       - MulDiv(ReferenceFrame.left + ReferenceFrame.right, int(dpi), 96));
    const SIZE outer = outerSize(width, client.bottom, dpi);
    ::SetWindowPos(window, nullptr, 0, 0, outer.cx, outer.cy,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    // A control the narrower window no longer holds is hidden rather than
    // clipped, so that no key reaches a box the user cannot see. A hidden
    // window keeps the focus it had, so the focus leaves it first.
    const auto left = [window](HWND child) {
        RECT place;
        GetWindowRect(child, &place);
        MapWindowPoints(nullptr, window, reinterpret_cast<POINT *>(&place), 2);
        return place.left;
    };
    if (HWND focused = GetFocus(); focused && IsChild(window, focused) && left(focused) >= width) {
        m_native->hiddenFocus = focused;
        ::SetFocus(window);
    }
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        const bool inside = left(child) < width;
        ShowWindow(child, inside ? SW_SHOWNA : SW_HIDE);
        if (TextBox::Native *box = textBoxOf(child))
            visibleWidthChanged(*box);
        if (inside && child == m_native->hiddenFocus)
            ::SetFocus(child);
    }
}

WindowHandle Form::hWnd()
{
    return reinterpret_cast<WindowHandle>(m_native->window.get());
}

void Form::BringBack()
{
    HWND window = m_native->window.get();
    ShowWindow(window, IsIconic(window) ? SW_RESTORE : SW_SHOW);
    ::SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetForegroundWindow(window);
    if (Reopened)
        Reopened();
}

} // namespace Monvert::Forms
