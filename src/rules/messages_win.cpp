// SPDX-License-Identifier: MIT
// Windows has no gettext: the same catalogues, compiled from the same .po
// files, travel inside the program as resources and are read here.
#include "rules/messages.h"

#include "rules/catalogue.h"
#include "rules/utf8.h"

#include <windows.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace Monvert {

namespace {

// The user's language's catalogue, inside the program; empty for English.
std::string_view catalogue;

} // namespace

void useUserLanguage()
{
    if (PRIMARYLANGID(GetUserDefaultUILanguage()) != LANG_ITALIAN)
        return;
    HRSRC found = FindResourceW(nullptr, L"MESSAGES_IT", MAKEINTRESOURCEW(10)); // RT_RCDATA
    HGLOBAL loaded = found ? LoadResource(nullptr, found) : nullptr;
    const void *data = loaded ? LockResource(loaded) : nullptr;
    if (!data)
        return;
    catalogue = {static_cast<const char *>(data), SizeofResource(nullptr, found)};
}

const char *translated(const char *english)
{
    // Each translation ends in a zero byte in the catalogue itself.
    const auto translation = lookUp(catalogue, english);
    return translation ? translation->data() : english;
}

std::string systemError(int error)
{
    // The C runtime's reasons are English only.
    return std::strerror(error);
}

std::string programFolder()
{
    std::array<wchar_t, MAX_PATH> path{};
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), DWORD(path.size()));
    std::u16string folder(path.data(), path.data() + length);
    folder.erase(folder.find_last_of(u"\\/") + 1);
    std::string result;
    encodeUtf8(folder, result);
    return result;
}

} // namespace Monvert
