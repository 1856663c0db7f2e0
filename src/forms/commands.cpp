// SPDX-License-Identifier: MIT
#include "forms/commands.h"

#include "rules/messages.h"
#include "rules/options.h"
#include "rules/utf8.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstring>

namespace Monvert::Forms {

namespace {

std::string upper(std::string_view text)
{
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(),
                   [](unsigned char c) { return char(std::toupper(c)); });
    return result;
}

// The keys a shortcut names with a word, as Qt writes it, with their codes
// on X11 and on Windows: the one table the reading and both systems use.
struct NamedKey
{
    std::string_view name;
    KeyCodes codes;
};
constexpr std::array<NamedKey, 19> NamedKeys{{
    {"Space", {0x20, 0x20}},        {"Tab", {0xFF09, 0x09}},   {"Backspace", {0xFF08, 0x08}},
    {"Return", {0xFF0D, 0x0D}},     {"Enter", {0xFF8D, 0x0D}}, {"Esc", {0xFF1B, 0x1B}},
    {"Ins", {0xFF63, 0x2D}},        {"Del", {0xFFFF, 0x2E}},   {"Home", {0xFF50, 0x24}},
    {"End", {0xFF57, 0x23}},        {"PgUp", {0xFF55, 0x21}},  {"PgDown", {0xFF56, 0x22}},
    {"Left", {0xFF51, 0x25}},       {"Up", {0xFF52, 0x26}},    {"Right", {0xFF53, 0x27}},
    {"Down", {0xFF54, 0x28}},       {"Pause", {0xFF13, 0x13}}, {"Print", {0xFF61, 0x2C}},
    {"ScrollLock", {0xFF14, 0x91}},
}};
// Other names Qt reads for the same keys.
constexpr std::array<std::pair<std::string_view, std::string_view>, 5> OtherNames{{
    {"ESCAPE", "Esc"},
    {"INSERT", "Ins"},
    {"DELETE", "Del"},
    {"PAGEUP", "PgUp"},
    {"PAGEDOWN", "PgDown"},
}};
// F1 to F35, as far as a keyboard has them; Windows has 24.
constexpr int FunctionKeys = 35;
constexpr int WindowsFunctionKeys = 24;

// The number of a function key's name, F1 to F35, or 0.
int functionKey(std::string_view name)
{
    if (name.size() < 2 || name.size() > 3 || (name[0] != 'F' && name[0] != 'f') || name[1] == '0'
        || !std::all_of(name.begin() + 1, name.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return 0;
    const int number = std::stoi(std::string(name.substr(1)));
    return number <= FunctionKeys ? number : 0;
}

std::optional<std::string> keyName(std::string_view written)
{
    const std::string name = upper(written);
    if (name.size() == 1 && std::isgraph(static_cast<unsigned char>(name[0])))
        return name;
    for (const NamedKey &key : NamedKeys) {
        if (name == upper(key.name))
            return std::string(key.name);
    }
    for (const auto &[other, canonical] : OtherNames) {
        if (name == other)
            return std::string(canonical);
    }
    if (functionKey(name) != 0)
        return name;
    return std::nullopt;
}

} // namespace

std::optional<KeyCodes> namedKeyCodes(std::string_view name)
{
    if (const int number = functionKey(name))
        return KeyCodes{0xFFBE + std::uint32_t(number) - 1,
                        number <= WindowsFunctionKeys ? std::uint16_t(0x70 + number - 1)
                                                      : std::uint16_t(0)};
    for (const NamedKey &key : NamedKeys) {
        if (name == key.name)
            return key.codes;
    }
    return std::nullopt;
}

std::optional<Shortcut> readShortcut(std::string_view keys)
{
    Shortcut shortcut;
    // "+" apart, but "Ctrl++" is Ctrl and the plus key.
    while (!keys.empty()) {
        std::size_t end = keys.find('+', 1);
        const std::string_view part = keys.substr(0, end);
        keys = end == std::string_view::npos ? std::string_view() : keys.substr(end + 1);
        if (!shortcut.key.empty())
            return std::nullopt; // something after the key
        const std::string name = upper(part);
        bool *modifier = name == "CTRL" ? &shortcut.control
            : name == "SHIFT"           ? &shortcut.shift
            : name == "ALT"             ? &shortcut.alt
            : name == "META"            ? &shortcut.meta
                                        : nullptr;
        if (modifier && !keys.empty()) {
            if (*modifier)
                return std::nullopt;
            *modifier = true;
            continue;
        }
        const auto key = keyName(part);
        if (!key)
            return std::nullopt;
        shortcut.key = *key;
    }
    if (shortcut.key.empty()
        || !(shortcut.control || shortcut.alt || shortcut.meta || shortcut.key.size() > 1))
        return std::nullopt; // a bare letter would be taken from every program
    return shortcut;
}

namespace {

// A message shows no more than this of a text; one character more tells it
// was cut.
constexpr std::size_t ShownLength = 81;

} // namespace

std::string outcomeLine(const ClipboardOutcome &outcome)
{
    switch (outcome.kind) {
    case ClipboardOutcome::Converted: return {};
    case ClipboardOutcome::NotAnAmount:
        return filledIn(translated("monvert: nothing converted: not an amount: %s\n"),
                        {shownText(outcome.text)});
    case ClipboardOutcome::NoText:
        return translated("monvert: nothing converted: the clipboard holds no text\n");
    case ClipboardOutcome::NotWritten:
        return translated("monvert: converted, but the clipboard could not be written\n");
    case ClipboardOutcome::NoFocus:
        return translated("monvert: nothing converted: on Wayland only the window with the "
                          "keyboard focus can read the clipboard; start Monvert with DISPLAY "
                          "set, through XWayland, or click a label\n");
    case ClipboardOutcome::NoAnswer: break;
    }
    return filledIn(translated("monvert: the window did not answer within %s seconds\n"),
                    {std::to_string(OutcomeWaitSeconds)});
}

std::string packed(const ClipboardOutcome &outcome)
{
    std::string bytes(1, char('0' + outcome.kind));
    encodeUtf8(std::u16string_view(outcome.text).substr(0, ShownLength), bytes);
    return bytes;
}

std::optional<ClipboardOutcome> unpacked(std::string_view bytes)
{
    if (bytes.empty() || bytes[0] < '0' || bytes[0] > '0' + ClipboardOutcome::NoAnswer)
        return std::nullopt;
    ClipboardOutcome outcome;
    outcome.kind = ClipboardOutcome::Kind(bytes[0] - '0');
    decodeUtf8(bytes.substr(1), outcome.text);
    return outcome;
}

const char *runsWithItsOwnShortcuts()
{
    return translated("monvert: Monvert runs already, with the shortcuts it was started with; "
                      "close its window to start it with these\n");
}

WindowOptions takeWindowOptions(int &argc, char **argv)
{
    const std::vector<std::string_view> arguments(argv + std::min(argc, 1), argv + argc);
    const CommandLine line = readCommandLine(arguments);
    WindowOptions options;
    std::optional<ClipboardCommand> from;
    int kept = 1;
    for (const Argument &argument : line.arguments) {
        switch (argument.option) {
        case Option::FromLire: from = ClipboardCommand::FromLire; break;
        case Option::FromEuro: from = ClipboardCommand::FromEuro; break;
        case Option::ShortcutFromLire:
        case Option::ShortcutFromEuro:
            if (!argument.value.empty())
                options.shortcuts.emplace_back(argument.option == Option::ShortcutFromLire
                                                   ? ClipboardCommand::FromLire
                                                   : ClipboardCommand::FromEuro,
                                               argument.value);
            break;
        case Option::ToolkitPlatform:
        case Option::ToolkitDisplay:
        case Option::Toolkit:
            if (argument.valueApart && argument.option == Option::ToolkitPlatform)
                options.platform = argument.value;
            if (argument.valueApart && argument.option == Option::ToolkitDisplay)
                options.display = argument.value;
            // The views are argv's own strings, in order.
            argv[kept++] = const_cast<char *>(argument.written.data());
            if (argument.valueApart)
                argv[kept++] = const_cast<char *>(argument.value.data());
            break;
        default: break;
        }
    }
    argc = kept;
    argv[argc] = nullptr;
    if (line.has(Option::Clipboard))
        options.convert = from;
    return options;
}

} // namespace Monvert::Forms
