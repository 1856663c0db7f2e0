// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <string>

// Wayland: the session Monvert prefers X11 on where it can, and what it says
// where it cannot.
namespace Monvert::Forms {

// Before the application object exists: on a Wayland session with XWayland,
// prefer X11 so that placement and stay-on-top work, unless the user chose.
void choosePlatformBeforeStart();

// With no DISPLAY, why Qt's Wayland platform cannot show the window, if it
// cannot: Qt would abort where no compositor answers or the platform is
// missing.
[[nodiscard]] std::optional<std::string> whyNoWaylandWindow();

// After: where placement cannot work, say so once.
void reportPlacementLimits();

} // namespace Monvert::Forms
