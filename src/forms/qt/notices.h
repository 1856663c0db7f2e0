// SPDX-License-Identifier: MIT
#pragma once

#include <string>

// What the user must hear of while the window runs (a shortcut that cannot
// be had): on standard error, and where that is no terminal, as from the
// desktop's menu, its autostart or a launcher, as a desktop notification
// too, a start's lines in one.
namespace Monvert::Forms {

void tell(const std::string &line);

} // namespace Monvert::Forms
