// SPDX-License-Identifier: MIT
#include "forms/application.h"

#include "forms/failures.h"
#include "forms/win32/native.h"
#include "rules/messages.h"
#include "rules/utf8.h"

#include <commctrl.h>
#include <objbase.h>

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

bool askOther(HWND own, std::optional<ClipboardCommand> command)
{
    HWND other = otherForm(own);
    if (!other)
        return false;
    if (command)
        return PostMessageW(other, WM_CONVERT, *command == ClipboardCommand::FromLire ? 1 : 2, 0)
            != FALSE;
    DWORD process = 0;
    GetWindowThreadProcessId(other, &process);
    // The running one may take the foreground when it brings its window back.
    AllowSetForegroundWindow(process);
    PostMessageW(other, WM_REOPEN, 0, 0);
    return true;
}

} // namespace

void reportUnhandled(std::u16string_view control, const char *event, const char *what) noexcept
{
    try {
        std::string procedure;
        encodeUtf8(control, procedure);
        std::u16string line;
        decodeUtf8(unhandledLine(procedure + '_' + event, what), line);
        OutputDebugStringW(wide(line).c_str());
    } catch (...) {
        OutputDebugStringW(L"Monvert: unhandled error\n");
    }
}

HWND madeOrEnd(HWND window)
{
    if (window)
        return window;
    const DWORD error = GetLastError();
    wchar_t *reason = nullptr;
    FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM
                       | FORMAT_MESSAGE_IGNORE_INSERTS,
                   nullptr, error, 0, reinterpret_cast<wchar_t *>(&reason), 0, nullptr);
    const unique_hlocal<wchar_t> owned(reason);
    std::string why;
    encodeUtf8(reason ? std::u16string_view(reinterpret_cast<const char16_t *>(reason))
                      : std::u16string_view(u"?"),
               why);
    std::u16string message;
    decodeUtf8(filledIn(translated("Monvert cannot create its window: %s"), {why}), message);
    MessageBoxW(nullptr, wide(message).c_str(), L"Monvert", MB_OK | MB_ICONERROR);
    ExitProcess(1);
}

// The session's Monvert is whoever holds this: a name in the session's own
// namespace, given back by the system however the holder ends.
constexpr wchar_t InstanceName[] = L"Local\\org.monvert.Monvert";

// Whether this program holds the session's claim.
bool claimed = false;

struct Application::Native
{
    bool com = false;
    unique_handle instance;
};

Application::Application(int &argc, char **argv)
    : m_native(std::make_unique<Native>())
    , m_options(takeWindowOptions(argc, argv))
{
    // The accessibility annotations are COM objects of this thread's.
    m_native->com = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_STANDARD_CLASSES;
    InitCommonControlsEx(&controls);
    // One Monvert a session. The claim is taken before any window exists,
    // atomically, so of two starts at the same moment exactly one goes on;
    // the other brings the first one's window back as soon as there is one.
    // Should the holder show no window for half a minute, a window of this
    // start's own is better than none.
    for (const ULONGLONG deadline = GetTickCount64() + 30'000;;) {
        m_native->instance.reset(CreateMutexW(nullptr, FALSE, InstanceName));
        claimed = m_native->instance && GetLastError() != ERROR_ALREADY_EXISTS;
        if (claimed || !m_native->instance)
            break;
        m_native->instance.reset();
        if (askOther(nullptr, m_options.convert)) {
            m_ended = 0;
            break;
        }
        if (GetTickCount64() > deadline)
            break;
        Sleep(50);
    }
}

Application::~Application()
{
    if (m_native->com)
        CoUninitialize();
}

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

bool Application::claimInstance(Form &form)
{
    // Without the claim, another start may have shown its window since.
    return claimed || !askOther(form.native().window.get(), m_options.convert);
}

} // namespace Monvert::Forms
