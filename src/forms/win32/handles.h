// SPDX-License-Identifier: MIT
#pragma once

// One small owner for each kind of handle the Win32 forms keep, so that no
// path forgets to give one back.
#include <windows.h>

#include <memory>
#include <type_traits>

namespace Monvert::Forms {

struct ObjectDeleter
{
    void operator()(HGDIOBJ object) const { ::DeleteObject(object); }
};
using unique_hfont = std::unique_ptr<std::remove_pointer_t<HFONT>, ObjectDeleter>;
using unique_hbrush = std::unique_ptr<std::remove_pointer_t<HBRUSH>, ObjectDeleter>;

struct WindowDestroyer
{
    void operator()(HWND window) const { ::DestroyWindow(window); }
};
using unique_hwnd = std::unique_ptr<std::remove_pointer_t<HWND>, WindowDestroyer>;

// The clipboard is the system's, one program at a time: open for as long as
// this lives, and always closed again.
class ClipboardOpen
{
public:
    explicit ClipboardOpen(HWND owner)
    {
        // Another program may hold it for a moment.
        for (int attempt = 0; attempt < 20 && !m_open; ++attempt) {
            m_open = ::OpenClipboard(owner) != FALSE;
            if (!m_open)
                Sleep(10);
        }
    }
    ~ClipboardOpen()
    {
        if (m_open)
            CloseClipboard();
    }
    ClipboardOpen(const ClipboardOpen &) = delete;
    ClipboardOpen &operator=(const ClipboardOpen &) = delete;

    explicit operator bool() const { return m_open; }

private:
    bool m_open = false;
};

} // namespace Monvert::Forms
