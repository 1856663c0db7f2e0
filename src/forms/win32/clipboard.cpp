// SPDX-License-Identifier: MIT
#include "forms/clipboard.h"

#include "forms/win32/handles.h"
#include "forms/win32/native.h"

#include <cstring>

namespace Monvert::Forms {

std::u16string Clipboard::GetText() const
{
    const ClipboardOpen open(nullptr);
    if (!open)
        return {};
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    if (!data)
        return {};
    const auto *text = static_cast<const wchar_t *>(GlobalLock(data));
    if (!text)
        return {};
    // At most what the global block holds, whether or not it ends in a zero.
    const std::size_t most = GlobalSize(data) / sizeof(wchar_t);
    std::u16string result = plain(std::wstring_view(text, wcsnlen(text, most)));
    GlobalUnlock(data);
    return result;
}

void Clipboard::Clear()
{
    const ClipboardOpen open(nullptr);
    if (open)
        EmptyClipboard();
}

void Clipboard::SetText(std::u16string_view text)
{
    const ClipboardOpen open(nullptr);
    if (!open)
        return;
    EmptyClipboard();
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
    if (!block)
        return;
    auto *copy = static_cast<wchar_t *>(GlobalLock(block));
    std::memcpy(copy, text.data(), text.size() * sizeof(wchar_t));
    copy[text.size()] = L'\0';
    GlobalUnlock(block);
    // The system owns the block from here on, and keeps the text after the
    // program has ended.
    if (!SetClipboardData(CF_UNICODETEXT, block))
        GlobalFree(block);
}

} // namespace Monvert::Forms
