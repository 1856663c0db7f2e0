// SPDX-License-Identifier: MIT
#include "terminal/ready.h"

#include "rules/utf8.h"

#include <windows.h>

#include <io.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <string>

namespace Monvert::Terminal {

// The C runtime's descriptors on Windows have no non-blocking mode: a read
// or write that cannot go on yet waits inside the system.
bool notReadyYet(int)
{
    return false;
}

void waitUntilReady(int, Direction) { }

long readInput(int fd, char *buffer, unsigned size)
{
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
    DWORD mode = 0;
    if (handle == INVALID_HANDLE_VALUE || !GetConsoleMode(handle, &mode))
        return long(::read(fd, buffer, size));
    // A console hands over the characters typed in its input code page,
    // which may hold neither "£" nor "€": they are asked for as characters.
    static bool ended = false; // Ctrl+Z was typed
    static std::u16string half; // a surrogate pair's first half, read last time
    std::array<wchar_t, 1024> typed{};
    DWORD count = 0;
    if (ended)
        return 0;
    if (!ReadConsoleW(handle, typed.data(), std::min<DWORD>(DWORD(typed.size()), size / 3 - 1),
                      &count, nullptr)) {
        errno = EIO;
        return -1;
    }
    std::u16string units = half + std::u16string(typed.data(), typed.data() + count);
    half.clear();
    // Ctrl+Z and Enter end what is typed, as the C runtime has it.
    if (const std::size_t z = units.find(u'\x1A'); z != std::u16string::npos) {
        units.resize(z);
        ended = true;
    } else if (!units.empty() && isHighSurrogate(units.back())) {
        half = units.back();
        units.pop_back();
    }
    std::string text;
    encodeUtf8(units, text);
    std::memcpy(buffer, text.data(), text.size());
    return text.empty() && !ended ? readInput(fd, buffer, size) : long(text.size());
}

} // namespace Monvert::Terminal
