// SPDX-License-Identifier: MIT
#include "forms/clipboard.h"

#include "forms/win32/native.h"
#include "platform/win32/handles.h"

#include <cstring>
#include <optional>
#include <string_view>

namespace Monvert::Forms {

// EmptyClipboard makes the window that opened the clipboard its owner, and
// with none SetClipboardData fails: the clipboard is always opened with a
// window of its own, one that only receives messages.
struct Clipboard::Native
{
    unique_hwnd owner{madeOrEnd(CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                                nullptr, GetModuleHandleW(nullptr), nullptr))};
};

namespace {

// Clipboard managers, remote desktops and office suites hold it for a few
// milliseconds at a time: a second of tries before giving up.
void openWithTries(std::optional<ClipboardOpen> &open, HWND owner)
{
    for (int attempt = 0; attempt < 20; ++attempt) {
        if (open.emplace(owner))
            return;
        open.reset();
        Sleep(50);
    }
}

} // namespace

Clipboard::Clipboard()
    : m_native(std::make_unique<Native>())
{ }

Clipboard::~Clipboard() = default;

std::u16string Clipboard::GetText() const
{
    std::optional<ClipboardOpen> open;
    openWithTries(open, m_native->owner.get());
    if (!open)
        return {};
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    const LockedGlobal<wchar_t> text(data);
    if (!text)
        return {};
    // The format's text ends at its first zero, and the block may be larger
    // than what was put there: whatever follows the zero is no text, as the
    // box's own paste reads it.
    const std::wstring_view block(text.get(), GlobalSize(data) / sizeof(wchar_t));
    return plain(block.substr(0, block.find(L'\0')));
}

bool Clipboard::SetText(std::u16string_view text)
{
    // The text is ready before the clipboard is emptied: a failure leaves
    // what the user copied where it was.
    unique_hglobal block(GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t)));
    if (!block)
        return false;
    {
        const LockedGlobal<wchar_t> copy(block.get());
        if (!copy)
            return false;
        std::memcpy(copy.get(), text.data(), text.size() * sizeof(wchar_t));
        copy.get()[text.size()] = L'\0';
    }
    // Emptied and filled in one opening.
    std::optional<ClipboardOpen> open;
    openWithTries(open, m_native->owner.get());
    if (!open || !EmptyClipboard() || !SetClipboardData(CF_UNICODETEXT, block.get()))
        return false;
    // The system owns the block from here on, and keeps the text after the
    // program has ended.
    (void)block.release();
    return true;
}

} // namespace Monvert::Forms
