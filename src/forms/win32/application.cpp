// SPDX-License-Identifier: MIT
#include "forms/application.h"

#include "forms/win32/native.h"

#include <commctrl.h>

namespace Monvert::Forms {

namespace {

// A window of the program's class other than this one's, if any.
HWND otherForm(HWND own)
{
    for (HWND window = FindWindowExW(nullptr, nullptr, FormClass, nullptr); window;
         window = FindWindowExW(nullptr, window, FormClass, nullptr)) {
        if (window != own)
            return window;
    }
    return nullptr;
}

bool askOther(HWND own)
{
    HWND other = otherForm(own);
    if (!other)
        return false;
    DWORD process = 0;
    GetWindowThreadProcessId(other, &process);
    // The running one may take the foreground when it brings its window back.
    AllowSetForegroundWindow(process);
    PostMessageW(other, WM_REOPEN, 0, 0);
    return true;
}

} // namespace

struct Application::Native
{
};

Application::Application(int &, char **)
    : m_native(std::make_unique<Native>())
{
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_STANDARD_CLASSES;
    InitCommonControlsEx(&controls);
    // One Monvert a desktop: a second start brings the first back and ends.
    if (askOther(nullptr))
        m_ended = 0;
}

Application::~Application() = default;

int Application::Run()
{
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        // Tab moves between the boxes, as in a dialog.
        HWND form = GetAncestor(message.hwnd, GA_ROOT);
        if (form && IsDialogMessageW(form, &message))
            continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return int(message.wParam);
}

bool claimInstance(Form &form)
{
    // The class is the claim: another start may have shown its window since.
    return !askOther(form.native().window.get());
}

} // namespace Monvert::Forms
