// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// What the window is asked for besides its own events: by another start of
// the program, by a global shortcut, or by its own command line. Plain C++,
// shared by the forms layer's implementations.
namespace Monvert::Forms {

// A clipboard conversion, as a click on the label of that currency does it.
enum class ClipboardCommand { FromLire, FromEuro };

// A key combination as Qt writes it: "Ctrl+Shift+F9", "Meta+Alt+L".
struct Shortcut
{
    bool control = false;
    bool shift = false;
    bool alt = false;
    bool meta = false; // the Windows key, Super
    // The key itself, by its name as Qt writes it: a capital letter, a digit,
    // a punctuation character, or a name such as "F9", "Space", "PgUp".
    std::string key;
};

// The combination written, or nothing when it does not read as one.
[[nodiscard]] std::optional<Shortcut> readShortcut(std::string_view keys);

// The window's program's own options, taken out of its command line before
// the toolkit looks at it: "--from-lire --clipboard" (the conversion this
// start asks for) and "--shortcut-from-lire=KEYS".
struct WindowOptions
{
    std::optional<ClipboardCommand> convert;
    std::vector<std::pair<ClipboardCommand, std::string>> shortcuts;
};
[[nodiscard]] WindowOptions takeWindowOptions(int &argc, char **argv);

} // namespace Monvert::Forms
