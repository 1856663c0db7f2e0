// SPDX-License-Identifier: MIT
#include "terminal/launch.h"

#include "rules/messages.h"

#include <windows.h>

#include <shellapi.h>

#include <cstdlib>

namespace Monvert::Terminal {

namespace {

std::string utf8(const wchar_t *text)
{
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string result(std::size_t(size > 0 ? size - 1 : 0), '\0');
    if (size > 1)
        WideCharToMultiByte(CP_UTF8, 0, text, -1, result.data(), size, nullptr, nullptr);
    return result;
}

std::wstring wide(const std::string &text)
{
    const int size = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, nullptr, 0);
    std::wstring result(std::size_t(size > 0 ? size - 1 : 0), L'\0');
    if (size > 1)
        MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, result.data(), size);
    return result;
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
    LPWSTR *arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> result;
    for (int i = 0; arguments && i < count; ++i)
        result.push_back(utf8(arguments[i]));
    LocalFree(arguments);
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
    LPWSTR *arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    for (int i = 1; arguments && i < count; ++i)
        line += L" " + quoted(arguments[i]);
    LocalFree(arguments);
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
