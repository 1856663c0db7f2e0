// SPDX-License-Identifier: MIT
// Windows has no gettext: the same catalogues, compiled from the same .po
// files, travel inside the program as resources and are read here.
#include "rules/messages.h"

#include "rules/utf8.h"

#include <windows.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace Monvert {

namespace {

// A compiled catalogue (GNU .mo): a header, then two tables of (length,
// offset) pairs, the English messages sorted, their translations beside them.
std::string_view catalogue;

std::uint32_t word(std::size_t offset)
{
    std::uint32_t value = 0;
    if (offset + sizeof value <= catalogue.size())
        std::memcpy(&value, catalogue.data() + offset, sizeof value);
    return value;
}

std::string_view entry(std::uint32_t table, std::uint32_t index)
{
    const std::uint32_t length = word(table + 8 * std::size_t(index));
    const std::uint32_t offset = word(table + 8 * std::size_t(index) + 4);
    if (std::size_t(offset) + length >= catalogue.size())
        return {};
    return catalogue.substr(offset, length);
}

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
    constexpr std::uint32_t Magic = 0x950412de;
    if (word(0) != Magic)
        catalogue = {};
}

const char *translated(const char *english)
{
    if (catalogue.empty())
        return english;
    const std::uint32_t count = word(8);
    const std::uint32_t originals = word(12);
    const std::uint32_t translations = word(16);
    const std::string_view wanted(english);
    std::uint32_t low = 0;
    std::uint32_t high = count;
    while (low < high) {
        const std::uint32_t middle = low + (high - low) / 2;
        const std::string_view original = entry(originals, middle);
        if (original == wanted) {
            // Each translation ends in a zero byte in the catalogue itself.
            const std::string_view translation = entry(translations, middle);
            return translation.empty() ? english : translation.data();
        }
        (original < wanted ? low : high) = original < wanted ? middle + 1 : middle;
    }
    return english;
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
