// SPDX-License-Identifier: MIT
#include "rules/messages.h"

#include <windows.h>

#include <array>

namespace Monvert {

void useUserLanguage() { }

// Windows has no gettext; its messages stay the English they are written in.
const char *translated(const char *english)
{
    return english;
}

std::string programFolder()
{
    std::array<wchar_t, MAX_PATH> path{};
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), DWORD(path.size()));
    std::wstring folder(path.data(), length);
    folder.erase(folder.find_last_of(L"\\/") + 1);
    const int size = WideCharToMultiByte(CP_UTF8, 0, folder.c_str(), int(folder.size()), nullptr, 0,
                                         nullptr, nullptr);
    std::string result(std::size_t(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, folder.c_str(), int(folder.size()), result.data(), size,
                        nullptr, nullptr);
    return result;
}

} // namespace Monvert
