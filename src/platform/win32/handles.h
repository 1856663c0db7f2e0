// SPDX-License-Identifier: MIT
#pragma once

// One small owner for each kind of handle the Windows program keeps, in its
// forms and its terminal mode alike, so that no path forgets to give one back.
#include <windows.h>

#include <memory>
#include <type_traits>

namespace Monvert {

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

struct HandleCloser
{
    void operator()(HANDLE handle) const { ::CloseHandle(handle); }
};
// A kernel object: a mutex, a process, a thread.
using unique_handle = std::unique_ptr<std::remove_pointer_t<HANDLE>, HandleCloser>;

struct GlobalDeleter
{
    void operator()(HGLOBAL memory) const { ::GlobalFree(memory); }
};
using unique_hglobal = std::unique_ptr<std::remove_pointer_t<HGLOBAL>, GlobalDeleter>;

struct LocalDeleter
{
    void operator()(void *memory) const { ::LocalFree(memory); }
};
// What the system allocated for the caller with LocalAlloc (CommandLineToArgvW, FormatMessage).
template <typename Item> using unique_hlocal = std::unique_ptr<Item, LocalDeleter>;

// A window's device context, given back to it.
class WindowDC
{
public:
    explicit WindowDC(HWND window)
        : m_window(window)
        , m_dc(::GetDC(window))
    { }
    ~WindowDC()
    {
        if (m_dc)
            ::ReleaseDC(m_window, m_dc);
    }
    WindowDC(const WindowDC &) = delete;
    WindowDC &operator=(const WindowDC &) = delete;

    [[nodiscard]] HDC get() const { return m_dc; }

private:
    HWND m_window;
    HDC m_dc;
};

// An object selected into a device context, and the one it replaced put back.
class SelectedObject
{
public:
    SelectedObject(HDC dc, HGDIOBJ object)
        : m_dc(dc)
        , m_old(::SelectObject(dc, object))
    { }
    ~SelectedObject()
    {
        if (m_old)
            ::SelectObject(m_dc, m_old);
    }
    SelectedObject(const SelectedObject &) = delete;
    SelectedObject &operator=(const SelectedObject &) = delete;

private:
    HDC m_dc;
    HGDIOBJ m_old;
};

// The clipboard is the system's, one program at a time: opened once, if
// another program does not hold it, for as long as this lives, and always
// closed again.
class ClipboardOpen
{
public:
    explicit ClipboardOpen(HWND owner)
        : m_open(owner && ::OpenClipboard(owner) != FALSE)
    { }
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

// A global memory block's contents, locked for as long as this lives.
template <typename Item> class LockedGlobal
{
public:
    explicit LockedGlobal(HGLOBAL block)
        : m_block(block)
        , m_items(block ? static_cast<Item *>(::GlobalLock(block)) : nullptr)
    { }
    ~LockedGlobal()
    {
        if (m_items)
            ::GlobalUnlock(m_block);
    }
    LockedGlobal(const LockedGlobal &) = delete;
    LockedGlobal &operator=(const LockedGlobal &) = delete;

    explicit operator bool() const { return m_items != nullptr; }
    [[nodiscard]] Item *get() const { return m_items; }

private:
    HGLOBAL m_block;
    Item *m_items;
};

} // namespace Monvert
