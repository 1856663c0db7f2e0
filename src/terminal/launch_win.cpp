// SPDX-License-Identifier: MIT
#include "terminal/launch.h"

#include "forms/win32/handles.h"
#include "rules/messages.h"
#include "rules/utf8.h"

#include <windows.h>

#include <shellapi.h>

#include <cstdlib>

namespace Monvert::Terminal {

using Forms::unique_hlocal;

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

std::vector<std::string> commandLine(int, char **)
{
    // What this program writes is UTF-8, and so is what it reads from here on.
    SetConsoleOutputCP(CP_UTF8);
    int count = 0;
    const unique_hlocal<LPWSTR> arguments(CommandLineToArgvW(GetCommandLineW(), &count));
    std::vector<std::string> result;
    for (int i = 0; arguments && i < count; ++i)
        result.push_back(utf8(arguments.get()[i]));
    return result;
}

std::string windowProgram()
{
    return programFolder() + "monvert.exe";
}

std::string startWindow(int, char **)
{
    const std::wstring program = wide(windowProgram());
    std::wstring line = quoted(program);
    int count = 0;
    const unique_hlocal<LPWSTR> arguments(CommandLineToArgvW(GetCommandLineW(), &count));
    for (int i = 1; arguments && i < count; ++i)
        line += L" " + quoted(arguments.get()[i]);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return "error " + std::to_string(GetLastError());
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    // The window runs on its own; the prompt comes back at once.
    std::exit(0);
}

} // namespace Monvert::Terminal
