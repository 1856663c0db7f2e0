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

// What the window asked tells, as WM_COPYDATA to a window of the asker's
// own, while the asker waits in its send.
LRESULT CALLBACK toldProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_COPYDATA)
        return DefWindowProcW(window, message, wParam, lParam);
    const auto *data = reinterpret_cast<const COPYDATASTRUCT *>(lParam);
    auto *told = reinterpret_cast<std::string *>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (told && data && data->dwData == OutcomeData && data->cbData <= 4096)
        told->assign(static_cast<const char *>(data->lpData), data->cbData);
    return TRUE;
}

// Asks the session's other Monvert window, if there is one, to bring its
// window back (taken at once) or to convert the clipboard: what came of it,
// or nothing when there is no other window.
std::optional<ClipboardOutcome> askOther(HWND own, std::optional<ClipboardCommand> command)
{
    HWND other = otherForm(own);
    if (!other)
        return std::nullopt;
    if (!command) {
        DWORD process = 0;
        GetWindowThreadProcessId(other, &process);
        // The running one may take the foreground when it brings its window back.
        AllowSetForegroundWindow(process);
        PostMessageW(other, WM_REOPEN, 0, 0);
        return ClipboardOutcome{ClipboardOutcome::Converted, {}};
    }
    WNDCLASSW toldClass{};
    toldClass.lpfnWndProc = toldProcedure;
    toldClass.hInstance = GetModuleHandleW(nullptr);
    toldClass.lpszClassName = L"MonvertTold";
    RegisterClassW(&toldClass);
    const unique_hwnd told(CreateWindowExW(0, toldClass.lpszClassName, L"", 0, 0, 0, 0, 0,
                                           HWND_MESSAGE, nullptr, toldClass.hInstance, nullptr));
    std::string bytes;
    SetWindowLongPtrW(told.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&bytes));
    DWORD_PTR kind = ClipboardOutcome::NoAnswer;
    if (!SendMessageTimeoutW(other, WM_CONVERT, *command == ClipboardCommand::FromLire ? 1 : 2,
                             reinterpret_cast<LPARAM>(told.get()), SMTO_NORMAL,
                             OutcomeWaitSeconds * 1000, &kind))
        return ClipboardOutcome{};
    if (auto outcome = unpacked(bytes))
        return outcome;
    ClipboardOutcome outcome;
    outcome.kind = kind <= ClipboardOutcome::NoAnswer ? ClipboardOutcome::Kind(kind)
                                                      : ClipboardOutcome::NoAnswer;
    return outcome;
}

// Whoever started the window's program for a conversion (monvert.com) reads
// its standard output: the status to end with, and the line to say.
void tellStarter(const ClipboardOutcome &outcome)
{
    HANDLE starter = GetStdHandle(STD_OUTPUT_HANDLE);
    if (!starter || starter == INVALID_HANDLE_VALUE)
        return;
    std::string told(1, outcome.kind == ClipboardOutcome::Converted ? '0' : '1');
    told += outcomeLine(outcome);
    DWORD written = 0;
    WriteFile(starter, told.data(), DWORD(told.size()), &written, nullptr);
    // The window lives on; the starter reads to the end.
    SetStdHandle(STD_OUTPUT_HANDLE, nullptr);
    CloseHandle(starter);
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
        if (const auto outcome = askOther(nullptr, m_options.convert)) {
            if (m_options.convert)
                tellStarter(*outcome);
            if (!m_options.shortcuts.empty()) {
                std::u16string message;
                decodeUtf8(runsWithItsOwnShortcuts(), message);
                MessageBoxW(nullptr, wide(message).c_str(), L"Monvert", MB_OK | MB_ICONINFORMATION);
            }
            m_ended = outcome->kind == ClipboardOutcome::Converted ? 0 : 1;
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
    if (claimed)
        return true;
    const auto outcome = askOther(form.native().window.get(), m_options.convert);
    if (outcome && m_options.convert)
        tellStarter(*outcome);
    return !outcome;
}

void Application::ConvertForStart(Form &form)
{
    ClipboardOutcome outcome;
    if (form.ConvertClipboard)
        dispatch(u"Form", "ConvertClipboard",
                 [&] { outcome = form.ConvertClipboard(*m_options.convert); });
    tellStarter(outcome);
}

} // namespace Monvert::Forms
