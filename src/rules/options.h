// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The program's command line: one table of its options, read once by the
// command users type, which answers what is its own and hands the window's
// program what was read for the window, written out again.
namespace Monvert {

enum class Option : std::uint8_t {
    Help,
    Version,
    FromLire,
    FromEuro,
    Number,
    Clipboard,
    ShortcutFromLire,
    ShortcutFromEuro,
    // The window toolkit's own, handed to it as they were written; the two
    // the program needs before the toolkit starts have names of their own.
    ToolkitPlatform,
    ToolkitDisplay,
    Toolkit,
    EndOfOptions, // "--": what follows is amounts, whatever it looks like
    Amount, // what is no option, such as 1000 or -5
    Unknown, // an option no one takes
};

// Who takes an option: `monvert` answers some itself before anything else.
enum class OptionUse : std::uint8_t { Answered, Terminal, Window, Both, Toolkit };

// How an option's value is written: none, only after "=", or after "=" or
// as the next argument.
enum class OptionValue : std::uint8_t { None, Joined, JoinedOrApart };

struct OptionSpec
{
    std::string_view name; // as written, with its dashes
    Option option;
    OptionUse use;
    OptionValue value = OptionValue::None;
};

// The window toolkit's options, each system's own: QApplication's on Unix,
// with one dash or two; none for the Win32 window.
[[nodiscard]] std::span<const OptionSpec> toolkitOptions();

// One argument as read. An option whose value is the next argument has it
// here, and the next argument is not read on its own.
struct Argument
{
    Option option = Option::Unknown;
    std::string_view written;
    std::string_view value;
    bool valueApart = false;
};

struct CommandLine
{
    std::vector<Argument> arguments; // in order, the program's name left out

    // --help or --version, whichever comes first.
    [[nodiscard]] std::optional<Option> answer() const;
    [[nodiscard]] bool has(Option option) const;
    [[nodiscard]] int count(Option option) const;
    // The first argument the window's program does not take, or nothing.
    [[nodiscard]] const Argument *firstNotForWindow() const;
    // The window's program's arguments after its name: what was read for
    // the window, the toolkit's options as they were written.
    [[nodiscard]] std::vector<std::string> forWindow() const;
};

// The arguments after the program's name; the views must outlive the result.
[[nodiscard]] CommandLine readCommandLine(std::span<const std::string_view> arguments);

} // namespace Monvert
