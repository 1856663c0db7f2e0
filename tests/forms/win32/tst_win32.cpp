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
#include "window/form1.h"

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
    check("a block with more text after its zero is no plain text", clipboard.GetText().empty());
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

    std::printf("win32: %d failed\n", failed);
    CoUninitialize();
    return failed == 0 ? 0 : 1;
}
