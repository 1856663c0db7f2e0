// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
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

// What came of a clipboard conversion, for whoever asked for it: another
// start waits for it and tells the user.
struct ClipboardOutcome
{
    enum Kind : std::uint8_t {
        Converted, // the clipboard holds the conversion
        NotAnAmount, // text, which is kept on the clipboard
        NoText, // nothing to read: no text, or an owner that did not answer
        NotWritten, // converted, but the clipboard could not be written
        NoFocus, // the window system lets only the focused window read it
        NoAnswer, // no window answered in time
    } kind = NoAnswer;
    std::u16string text; // the text that is no amount
};

// How long a start waits for the window's outcome: a little longer than the
// window itself waits for a slow clipboard owner (the formats, then the text).
inline constexpr int OutcomeWaitSeconds = 12;

// One line in the user's language saying why the clipboard does not hold a
// conversion, its text shown as the terminal mode shows one; empty when it does.
[[nodiscard]] std::string outcomeLine(const ClipboardOutcome &outcome);

// The outcome as a few bytes for another process, and read back: nothing
// for bytes that are no outcome.
[[nodiscard]] std::string packed(const ClipboardOutcome &outcome);
[[nodiscard]] std::optional<ClipboardOutcome> unpacked(std::string_view bytes);

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

    friend bool operator==(const Shortcut &, const Shortcut &) = default;
};

// The codes each window system knows a key by that a shortcut names with a
// word (F9, PgUp; a character is each layout's own): the X11 keysym, and the
// Windows virtual-key code, 0 for a key Windows does not have (F25 to F35).
struct KeyCodes
{
    std::uint32_t keysym = 0;
    std::uint16_t virtualKey = 0;
};
[[nodiscard]] std::optional<KeyCodes> namedKeyCodes(std::string_view name);

// The combination written, or nothing when it does not read as one.
[[nodiscard]] std::optional<Shortcut> readShortcut(std::string_view keys);

// What a start that names shortcuts says when a window runs already, in
// the user's language.
[[nodiscard]] const char *runsWithItsOwnShortcuts();

// What the window's program is asked for on its command line, which `monvert`
// wrote from what it read: "--from-lire --clipboard" (the conversion this
// start asks for), "--shortcut-from-lire=KEYS", and the toolkit's platform
// and display, as the toolkit reads them (the value as the next argument).
struct WindowOptions
{
    std::optional<ClipboardCommand> convert;
    std::vector<std::pair<ClipboardCommand, std::string>> shortcuts;
    std::optional<std::string> platform;
    std::optional<std::string> display;
};
// Reads them, and leaves in argv the program's name and the toolkit's own
// options, as they were written.
[[nodiscard]] WindowOptions takeWindowOptions(int &argc, char **argv);

} // namespace Monvert::Forms
