// SPDX-License-Identifier: MIT
#include "terminal/launch.h"

#include "platform/win32/handles.h"
#include "rules/messages.h"
#include "rules/utf8.h"

#include <windows.h>

#include <shellapi.h>

#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace Monvert::Terminal {

namespace {

// wchar_t is UTF-16 on Windows; the conversions are the project's own.
std::string utf8(std::wstring_view text)
{
    std::string result;
    encodeUtf8(std::u16string(text.begin(), text.end()), result);
    return result;
}

std::wstring wide(const std::string &text)
{
    std::u16string result;
    decodeUtf8(text, result);
    return std::wstring(result.begin(), result.end());
}

// One argument as CommandLineToArgvW reads it back: quoted, with the
// backslashes before a quote doubled.
std::wstring quoted(const std::wstring &argument)
{
    std::wstring result = L"\"";
    std::size_t backslashes = 0;
    for (const wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        result.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
        backslashes = 0;
        result += c;
    }
    result.append(2 * backslashes, L'\\');
    return result + L"\"";
}

} // namespace

// The console's output code page as it was, given back when the program ends.
UINT consoleOutputPage = 0;

void restoreConsole()
{
    if (consoleOutputPage)
        SetConsoleOutputCP(consoleOutputPage);
}

std::vector<std::string> commandLine(int, char **)
{
    // What this program writes is UTF-8, for as long as it runs; a console
    // is read as characters (readInput), whatever its input code page.
    consoleOutputPage = GetConsoleOutputCP();
    if (consoleOutputPage && SetConsoleOutputCP(CP_UTF8))
        std::atexit(restoreConsole);
    // Files are read as they are: UTF-16 holds bytes the C runtime's text
    // mode would take for line ends or the end of the file.
    _setmode(_fileno(stdin), _O_BINARY);
    int count = 0;
    const unique_hlocal<LPWSTR> arguments(CommandLineToArgvW(GetCommandLineW(), &count));
    std::vector<std::string> result;
    for (int i = 0; arguments && i < count; ++i)
        result.push_back(utf8(arguments.get()[i]));
    return result;
}

const char *systemNotes()
{
    return translated(
        "Amounts are read and written with the regional settings of Windows (Control\n"
        "Panel, Region). Standard input may be UTF-8 or, with its byte order mark,\n"
        "UTF-16. An amount that does not read gives an empty line and a message on\n"
        "standard error.\n"
        "\n"
        "Examples: type ledger.txt | monvert --from-lire --number > euro.txt\n"
        "          monvert --shortcut-from-lire=Ctrl+Shift+F9 "
        "--shortcut-from-euro=Ctrl+Shift+F10\n");
}

std::string windowProgram()
{
    return programFolder() + "monvert.exe";
}

std::string startWindow(const char *, const CommandLine &asked)
{
    const std::wstring program = wide(windowProgram());
    std::wstring line = quoted(program);
    for (const std::string &argument : asked.forWindow())
        line += L" " + quoted(wide(argument));
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    // Asked to convert the clipboard, the window's program writes on its
    // standard output what came of it: the status, then the line to say.
    const bool clipboard = asked.has(Option::Clipboard);
    unique_handle told;
    unique_handle telling;
    if (clipboard) {
        SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
        HANDLE reading = nullptr;
        HANDLE writing = nullptr;
        if (!CreatePipe(&reading, &writing, &inherited, 0))
            return "error " + std::to_string(GetLastError());
        told.reset(reading);
        telling.reset(writing);
        SetHandleInformation(reading, HANDLE_FLAG_INHERIT, 0);
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        startup.hStdOutput = writing;
        startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    }
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, clipboard ? TRUE : FALSE, 0,
                        nullptr, nullptr, &startup, &process))
        return "error " + std::to_string(GetLastError());
    CloseHandle(process.hThread);
    const unique_handle window(process.hProcess);
    if (clipboard) {
        // Ours closed, the pipe ends when the window's program closes its
        // end: once it has told, or with it. A minute for a window to start
        // on a busy machine, then as long as it may wait on the clipboard.
        telling.reset();
        std::string bytes;
        for (const ULONGLONG deadline = GetTickCount64() + 72'000; GetTickCount64() < deadline;) {
            DWORD available = 0;
            if (!PeekNamedPipe(told.get(), nullptr, 0, nullptr, &available, nullptr))
                break;
            if (available == 0) {
                Sleep(20);
                continue;
            }
            char chunk[512];
            DWORD got = 0;
            if (!ReadFile(told.get(), chunk, std::min<DWORD>(available, sizeof chunk), &got,
                          nullptr))
                break;
            bytes.append(chunk, got);
        }
        if (bytes.empty()) {
            std::fputs(translated("monvert: the window did not start to convert the clipboard\n"),
                       stderr);
            std::exit(1);
        }
        std::fputs(bytes.c_str() + 1, stderr);
        std::exit(bytes[0] == '0' ? 0 : 1);
    }
    // The window runs on its own; the prompt comes back once it is up, or
    // has handed what was asked to the window already there: its status then.
    WaitForInputIdle(window.get(), 60'000);
    DWORD status = 0;
    if (!GetExitCodeProcess(window.get(), &status) || status == STILL_ACTIVE)
        status = 0;
    std::exit(int(status));
}

} // namespace Monvert::Terminal
