// SPDX-License-Identifier: MIT
#pragma once

#include "forms/commands.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>

// The forms layer: the window, its controls and the services the window's
// procedures were written against, in plain C++. Each toolkit implements it
// in a folder of its own.
namespace Monvert::Forms {

// A window's native handle, as the placement call takes it.
using WindowHandle = std::uintptr_t;

struct Color
{
    std::uint8_t red = 0, green = 0, blue = 0;
};

// A place in a window's client area, or a window's on the screen, in twips.
struct Twips
{
    int left = 0, top = 0, width = 0, height = 0;
};

inline constexpr double TwipsPerInch = 1440.0;

// A fixed tool window with a caption, a close button and the program's icon,
// whose width is read and set in twips, outer frame included as the
// reference frame (placement.h) counts it, and whose closing ends the program.
class Form
{
public:
    Form();
    virtual ~Form();
    Form(const Form &) = delete;
    Form &operator=(const Form &) = delete;

    void SetCaption(std::u16string_view caption);
    void SetBackColor(Color color);
    // The place the window is designed with, before anything moves it.
    void SetClientArea(const Twips &area);

    // Single precision, as the window's procedures expect it. Once set, the
    // width reads back as set: pixels are coarser than twips.
    [[nodiscard]] float Width() const;
    // Resizes at once and keeps the left edge. A control the narrower window
    // no longer holds is hidden, so no key reaches it; the focus comes back
    // to it when the window is wide enough again.
    void SetWidth(float twips);

    // The native handle, created on first use.
    [[nodiscard]] WindowHandle hWnd();

    // Shown again, not minimized, on top and active, as another start of the
    // program asks; Reopened runs then, for what the window itself restores.
    void BringBack();
    std::function<void()> Reopened;

    // Another start of the program or a global shortcut asks for a clipboard
    // conversion; the window keeps out of the way of the application the
    // user is in, and tells what came of it.
    std::function<ClipboardOutcome(ClipboardCommand)> ConvertClipboard;

    struct Native;
    [[nodiscard]] Native &native() const { return *m_native; }

private:
    std::unique_ptr<Native> m_native;
};

} // namespace Monvert::Forms
