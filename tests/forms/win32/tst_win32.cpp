// SPDX-License-Identifier: MIT
// What only the Win32 forms have, checked inside the program's own process,
// where a message may carry a pointer: a move to a screen of another
// density, the names a screen reader hears, a clipboard another program
// holds. Run under Wine by the end-to-end script; one line a check.
//
// <windows.h> comes first on purpose: the forms interface must compile after it.
#include <windows.h>

#include <oleacc.h>

#include "forms/clipboard.h"
#include "forms/placement.h"
#include "forms/win32/native.h"
#include "rules/regional.h"
#include "textbox_rules.h"
#include "window/form1.h"

#include <commctrl.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>

using namespace Monvert;

namespace {

int failed = 0;

void check(const char *description, bool passed)
{
    std::printf("%s: %s\n", passed ? "PASS" : "FAIL", description);
    failed += passed ? 0 : 1;
}

int widthOf(HWND control)
{
    RECT place{};
    GetWindowRect(control, &place);
    return place.right - place.left;
}

LONG fontHeightOf(HWND control)
{
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font,
               &font);
    return font.lfHeight < 0 ? -font.lfHeight : font.lfHeight;
}

// What a client of the accessibility API hears as the control's name, or
// nothing when the system has no answer.
std::wstring accessibleName(HWND control)
{
    // Loaded as a screen reader loads it; the program itself never calls it.
    using FromWindow = HRESULT(WINAPI *)(HWND, DWORD, REFIID, void **);
    HMODULE oleacc = LoadLibraryW(L"oleacc.dll");
    const auto fromWindow = oleacc ? reinterpret_cast<FromWindow>(reinterpret_cast<void *>(
                                GetProcAddress(oleacc, "AccessibleObjectFromWindow")))
                                   : nullptr;
    IAccessible *accessible = nullptr;
    if (!fromWindow
        || FAILED(fromWindow(control, DWORD(OBJID_CLIENT), IID_IAccessible,
                             reinterpret_cast<void **>(&accessible))))
        return {};
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    std::wstring result;
    if (SUCCEEDED(accessible->get_accName(self, &name)) && name)
        result = name;
    SysFreeString(name);
    accessible->Release();
    return result;
}

// Another program's hold on the clipboard, from a thread and a window of its
// own: for the given time, or until released.
class ClipboardHolder
{
public:
    static constexpr DWORD UntilReleased = INFINITE;

    explicit ClipboardHolder(DWORD milliseconds)
        : m_thread([this, milliseconds] {
            HWND window = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                          nullptr, nullptr);
            m_held = OpenClipboard(window) != FALSE;
            m_ready = true;
            const DWORD start = GetTickCount();
            while (!m_released && GetTickCount() - start < milliseconds)
                Sleep(5);
            CloseClipboard();
            DestroyWindow(window);
        })
    {
        while (!m_ready)
            Sleep(1);
    }
    ~ClipboardHolder()
    {
        m_released = true;
        m_thread.join();
    }
    [[nodiscard]] bool held() const { return m_held; }

private:
    std::atomic<bool> m_ready = false;
    std::atomic<bool> m_held = false;
    std::atomic<bool> m_released = false;
    std::thread m_thread;
};

// An owner that renders its text only when asked, and takes its time, as a
// remote or busy program does.
class SlowOwner
{
public:
    SlowOwner()
        : m_thread([this] {
            HWND window = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                          nullptr, nullptr);
            SetWindowSubclass(window, render, 1, 0);
            OpenClipboard(window);
            EmptyClipboard();
            SetClipboardData(CF_UNICODETEXT, nullptr);
            CloseClipboard();
            m_threadId = GetCurrentThreadId();
            m_ready = true;
            MSG message;
            while (!m_done && GetMessageW(&message, nullptr, 0, 0) > 0)
                DispatchMessageW(&message);
            DestroyWindow(window);
        })
    {
        while (!m_ready)
            Sleep(1);
    }
    ~SlowOwner()
    {
        m_done = true;
        PostThreadMessageW(m_threadId, WM_NULL, 0, 0);
        m_thread.join();
    }

private:
    static LRESULT CALLBACK render(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                   UINT_PTR, DWORD_PTR)
    {
        if (message != WM_RENDERFORMAT)
            return DefSubclassProc(window, message, wParam, lParam);
        Sleep(700);
        HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, 5 * sizeof(wchar_t));
        std::memcpy(GlobalLock(block), L"1000", 5 * sizeof(wchar_t));
        GlobalUnlock(block);
        SetClipboardData(CF_UNICODETEXT, block);
        return 0;
    }

    std::atomic<bool> m_ready = false;
    std::atomic<bool> m_done = false;
    DWORD m_threadId = 0;
    std::thread m_thread;
};

// Runs what is queued, as the message loop would.
void pump()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageW(&message);
}

int heightOf(HWND control)
{
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font,
               &font);
    return font.lfHeight < 0 ? -font.lfHeight : font.lfHeight;
}

// Whether an ellipsis ends where a character of the box begins, as the box
// itself places its characters, and where the part the window shows ends.
bool onBoundaries(const Forms::TextBox &box)
{
    const Forms::TextBox::Native &native = box.native();
    RedrawWindow(native.edit, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    const int length = GetWindowTextLengthW(native.edit);
    const auto boundary = [&](LONG x) {
        for (int k = 0; k < length; ++k) {
            if (short(LOWORD(SendMessageW(native.edit, EM_POSFROMCHAR, WPARAM(k), 0))) == x)
                return true;
        }
        return false;
    };
    RECT window{};
    GetClientRect(GetParent(native.edit), &window);
    POINT origin{0, 0};
    MapWindowPoints(native.edit, GetParent(native.edit), &origin, 1);
    const std::vector<RECT> &marks = native.marks.rects;
    return !marks.empty() && std::all_of(marks.begin(), marks.end(), [&](const RECT &mark) {
        return mark.left == 0 ? boundary(mark.right)
                              : boundary(mark.left) && mark.right == window.right - origin.x;
    });
}

// Whether any pixel of the box, drawn now, is in that colour.
bool drawnIn(HWND control, COLORREF colour)
{
    RedrawWindow(control, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    RECT client{};
    GetClientRect(control, &client);
    HDC dc = GetDC(control);
    bool found = false;
    for (int y = 0; y < client.bottom && !found; ++y) {
        for (int x = 0; x < client.right && !found; ++x)
            found = GetPixel(dc, x, y) == colour;
    }
    ReleaseDC(control, dc);
    return found;
}

void putBlock(const wchar_t *text, std::size_t characters)
{
    HWND owner = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr,
                                 nullptr);
    OpenClipboard(owner);
    EmptyClipboard();
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, characters * sizeof(wchar_t));
    std::memcpy(GlobalLock(block), text, characters * sizeof(wchar_t));
    GlobalUnlock(block);
    SetClipboardData(CF_UNICODETEXT, block);
    CloseClipboard();
    DestroyWindow(owner);
}

// The shared rows' hands on a Win32 box: the messages a keyboard and the
// edit commands send it.
class Win32Driver final : public TextBoxRules::Driver
{
public:
    void type(Forms::TextBox &box, std::u16string_view text) override
    {
        for (const char16_t c : text)
            SendMessageW(box.native().edit, WM_CHAR, WPARAM(c), 1);
    }
    void selectAll(Forms::TextBox &box) override
    {
        SendMessageW(box.native().edit, EM_SETSEL, 0, -1);
    }
    int caret(const Forms::TextBox &box) override
    {
        DWORD start = 0;
        DWORD end = 0;
        SendMessageW(box.native().edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                     reinterpret_cast<LPARAM>(&end));
        return int(end);
    }
    void edit(Forms::TextBox &box, TextBoxRules::Edit edit) override
    {
        putBlock(L"42", 3);
        SendMessageW(box.native().edit,
                     edit == TextBoxRules::Edit::Paste     ? WM_PASTE
                         : edit == TextBoxRules::Edit::Cut ? WM_CUT
                                                           : WM_UNDO,
                     0, 0);
    }
    double drawnSize(const Forms::TextBox &box) override { return heightOf(box.native().edit); }
};

} // namespace

int main()
{
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    NumberFormat italian;
    italian.decimal = u",";
    italian.group = u".";
    Form1 form(italian);
    form.Form_Load();
    HWND window = reinterpret_cast<HWND>(form.hWnd());
    HWND lireBox = form.Text1.native().edit;
    HWND lireLabel = form.Label1.native().control;

    // Moved to a 150 % screen: the system sends the new density and a
    // rectangle for it.
    const LONG boxFont = fontHeightOf(lireBox);
    RECT outer{};
    GetWindowRect(window, &outer);
    RECT suggested{outer.left, outer.top, outer.left + (outer.right - outer.left) * 3 / 2,
                   outer.top + (outer.bottom - outer.top) * 3 / 2};
    SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
    RECT now{};
    GetWindowRect(window, &now);
    check("144 dpi: the window takes the suggested rectangle",
          std::memcmp(&now, &suggested, sizeof now) == 0);
    check("144 dpi: the Lire box placed from its twips (170 px)", widthOf(lireBox) == 170);
    check("144 dpi: the Lire label placed from its twips (39 px)", widthOf(lireLabel) == 39);
    check("144 dpi: the label's font made again (17 px)", fontHeightOf(lireLabel) == 17);
    check("144 dpi: the box's font made again, larger", fontHeightOf(lireBox) > boxFont);
    form.Label3_DblClick();
    check("144 dpi: folding counts at the new density (47 px)", [&] {
        RECT client{};
        GetClientRect(window, &client);
        return client.right == MulDiv(470, 144, 1440) - MulDiv(6, 144, 96);
    }());
    form.Label3_DblClick();

    // Screen readers: each box by its label's caption, where Wine answers.
    for (const auto &[box, name] :
         {std::pair{lireBox, std::wstring(L"Lire")}, {form.Text2.native().edit, L"Euro"}}) {
        const std::wstring heard = accessibleName(box);
        std::printf("    accessible name: '%ls'\n", heard.c_str());
        if (!heard.empty())
            check("a screen reader hears the box by its label", heard == name);
    }

    // The clipboard: what a block holds after its terminating zero.
    Forms::Clipboard clipboard;
    putBlock(L"10\0"
             L"00",
             6);
    check("a block with more text after its zero: the text up to the zero",
          clipboard.GetText() == u"10");
    putBlock(L"1000\0\0\0", 7);
    check("zeros after the text are only padding", clipboard.GetText() == u"1000");

    // Held for a moment, as clipboard managers do: the copy waits for it.
    {
        const ClipboardHolder holder(200);
        check("a clipboard held for 200 ms: the copy goes through",
              holder.held() && clipboard.SetText(u"L. 19.363"));
    }
    check("and the clipboard holds it", clipboard.GetText() == u"L. 19.363");
    // Held for longer than the program waits: Enter copies nothing, says
    // so, and leaves the amount selected.
    form.converter.EditingLire = True;
    form.Text1.SetText(u"1000");
    {
        const ClipboardHolder holder(ClipboardHolder::UntilReleased);
        check("a clipboard held longer than a second: the copy fails", !clipboard.SetText(u"x"));
        form.converter.Text1_KeyUp(Forms::KeyEnter, 0);
        check("Enter then leaves the amount selected", form.Text2.SelText() == u"Euro 0,52");
    }
    check("and the clipboard as it was", clipboard.GetText() == u"L. 19.363");

    // Selected by Enter, then left behind by a click that found no amount:
    // not drawn as a live selection.
    form.converter.Text1_KeyUp(Forms::KeyEnter, 0);
    HWND selected = form.Text2.native().edit;
    const bool liveBefore = drawnIn(selected, GetSysColor(COLOR_HIGHLIGHT));
    putBlock(L"abc", 4);
    form.label1_Click();
    check("a selected amount gone out of date is not drawn in the selection's colours",
          liveBefore && form.Text2.OutOfDate() && form.Text2.SelText() == u"Euro 0,52"
              && !drawnIn(selected, GetSysColor(COLOR_HIGHLIGHT)));

    // Pressed on a label and let go away from it: no click.
    HWND euroLabel = form.Label2.native().control;
    const std::uint64_t conversions = form.converter.conversions();
    SendMessageW(euroLabel, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageW(euroLabel, WM_LBUTTONUP, 0, MAKELPARAM(5, 200));
    check("a press on a label let go away from it converts nothing",
          form.converter.conversions() == conversions);

    // Folded, no key reaches a hidden box; unfolded, the box has the focus back.
    HWND euroBox = form.Text2.native().edit;
    SetFocus(euroBox);
    form.Label3_DblClick();
    check("folding takes the focus out of the hidden box", GetFocus() != euroBox);
    // Converted while folded: the box is fitted to the part the window shows again.
    form.converter.EditingLire = True;
    form.Text1.SetText(u"1000");
    // Another start brings the window back whole.
    form.BringBack();
    check("a second start unfolds a folded window", form.Width() == UnfoldedWidth);
    check("unfolded, the box that had the focus has it again", GetFocus() == euroBox);
    check("a conversion made while folded shows at full size once unfolded",
          heightOf(euroBox) == heightOf(lireBox) && !form.Text2.state().hidden);

    // Left for another window and come back to, the box typed in has the
    // keys: the Euro box too, which is not where the focus lands anyway.
    HWND other = CreateWindowExW(0, L"STATIC", L"another program", WS_POPUP | WS_VISIBLE, 400, 400,
                                 100, 50, nullptr, nullptr, nullptr, nullptr);
    for (HWND typedIn : {lireBox, euroBox}) {
        SetFocus(typedIn);
        SetForegroundWindow(other);
        SetActiveWindow(other);
        SetForegroundWindow(window);
        SetActiveWindow(window);
        check(typedIn == lireBox ? "activated again, the Lire box typed in has the focus"
                                 : "activated again, the Euro box typed in has the focus",
              GetFocus() == typedIn);
    }
    DestroyWindow(other);

    // Long amounts: no smaller than two thirds, and past that marked on
    // character boundaries, up to the edge the window shows.
    form.converter.EditingLire = False;
    Win32Driver driver;
    check("a long amount is drawn no smaller than two thirds",
          TextBoxRules::checkLongAmountFits(form.Text2, driver).empty());
    check("the ellipsis at the end of a cut amount begins on a character's edge",
          onBoundaries(form.Text2));
    SendMessageW(euroBox, EM_SETSEL, 0, -1);
    SendMessageW(euroBox, WM_KEYDOWN, VK_END, 0);
    check("at its end, both ellipses end on characters' edges", onBoundaries(form.Text2));

    // The user chooses a larger message font: the boxes follow it.
    {
        NONCLIENTMETRICSW metrics{};
        metrics.cbSize = sizeof metrics;
        SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
        const NONCLIENTMETRICSW before = metrics;
        form.Text1.SetText(u"1");
        const int small = heightOf(lireBox);
        metrics.lfMessageFont.lfHeight = metrics.lfMessageFont.lfHeight * 3 / 2;
        SystemParametersInfoW(SPI_SETNONCLIENTMETRICS, sizeof metrics, &metrics,
                              SPIF_UPDATEINIFILE | SPIF_SENDCHANGE);
        pump();
        check("a larger message font chosen in the settings: the boxes take it",
              heightOf(lireBox) > small);
        SystemParametersInfoW(SPI_SETNONCLIENTMETRICS, sizeof before,
                              const_cast<NONCLIENTMETRICSW *>(&before),
                              SPIF_UPDATEINIFILE | SPIF_SENDCHANGE);
        pump();
    }

    // A paste waits on a slow owner as a click does, and a click queued
    // behind it is dropped: it would read the clipboard and wait again.
    {
        const SlowOwner slow;
        form.Text1.SetText({});
        PostMessageW(lireBox, WM_PASTE, 0, 0);
        PostMessageW(euroLabel, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        PostMessageW(euroLabel, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
        pump();
        check("a click queued behind a slow paste is dropped", form.Text1.Text() == u"1000");
    }

    // The rules every system's box keeps, each row on a new box of its own.
    Forms::Form own;
    for (const TextBoxRules::SetRow &row : TextBoxRules::SetRows) {
        Forms::TextBox box(own, u"Text1");
        check(row.name, TextBoxRules::checkSet(box, driver, row).empty());
    }
    for (const TextBoxRules::EditRow &row : TextBoxRules::EditRows) {
        Forms::TextBox box(own, u"Text1");
        check(row.name, TextBoxRules::checkEdit(box, driver, row).empty());
    }
    std::printf("win32: %d failed\n", failed);
    CoUninitialize();
    return failed == 0 ? 0 : 1;
}
