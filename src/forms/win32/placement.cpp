// SPDX-License-Identifier: MIT
// Windows has the placement call itself; sizes are counted with the
// reference frame and scaled to the window's own density, and the corner
// that is placed is the frame's visible one.
#include "forms/placement.h"

#include "forms/win32/native.h"

#include <dwmapi.h>

namespace Monvert::Forms {

bool SetWindowPos(WindowHandle hWnd, WindowHandle hWndInsertAfter, int X, int Y, int cx, int cy,
                  std::uint32_t uFlags)
{
    HWND window = reinterpret_cast<HWND>(hWnd);
    if (!IsWindow(window))
        return false;
    // The window's own density, as the system has it.
    const UINT dpi = GetDpiForWindow(window) ? GetDpiForWindow(window) : 96;
    RECT outer{0, 0, MulDiv(cx - ReferenceFrame.left - ReferenceFrame.right, int(dpi), 96),
               MulDiv(cy - ReferenceFrame.top - ReferenceFrame.bottom, int(dpi), 96)};
    AdjustWindowRectExForDpi(&outer, DWORD(GetWindowLongPtrW(window, GWL_STYLE)), FALSE,
                             DWORD(GetWindowLongPtrW(window, GWL_EXSTYLE)), dpi);
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int width = outer.right - outer.left;
    const int height = outer.bottom - outer.top;
    HWND after
        = hWndInsertAfter == AboveAll ? HWND_TOPMOST : reinterpret_cast<HWND>(hWndInsertAfter);
    const UINT flags = ((uFlags & PlaceWithoutActivating) ? SWP_NOACTIVATE : 0U)
        | ((uFlags & PlaceAndShow) ? SWP_SHOWWINDOW : 0U);
    ::SetWindowPos(window, after, work.left + X, work.top + Y, width, height, flags);
    // Windows 10 and 11 draw part of the frame invisible: the corner that
    // shows goes where the corner was asked for.
    RECT shown{};
    RECT whole{};
    if (SUCCEEDED(DwmGetWindowAttribute(window, DWMWA_EXTENDED_FRAME_BOUNDS, &shown, sizeof shown))
        && GetWindowRect(window, &whole) && (shown.left != whole.left || shown.top != whole.top)) {
        ::SetWindowPos(window, after, work.left + X - (shown.left - whole.left),
                       work.top + Y - (shown.top - whole.top), width, height, flags);
    }
    return true;
}

} // namespace Monvert::Forms
