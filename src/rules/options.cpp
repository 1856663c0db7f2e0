// SPDX-License-Identifier: MIT
#include "rules/options.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace Monvert {

namespace {

using namespace std::string_view_literals;

constexpr std::array<OptionSpec, 10> ProgramOptions{{
    {"--help", Option::Help, OptionUse::Answered},
    {"-h", Option::Help, OptionUse::Answered},
    {"--version", Option::Version, OptionUse::Answered},
    {"-v", Option::Version, OptionUse::Answered},
    {"--from-lire", Option::FromLire, OptionUse::Both},
    {"--from-euro", Option::FromEuro, OptionUse::Both},
    {"--number", Option::Number, OptionUse::Terminal},
    {"--clipboard", Option::Clipboard, OptionUse::Window},
    {"--shortcut-from-lire", Option::ShortcutFromLire, OptionUse::Window, OptionValue::Joined},
    {"--shortcut-from-euro", Option::ShortcutFromEuro, OptionUse::Window, OptionValue::Joined},
}};

// An option, as opposed to an amount such as -5.
bool isOption(std::string_view argument)
{
    const std::size_t name = argument.substr(0, 2) == "--"sv ? 2 : 1;
    return argument.size() > name && argument[0] == '-'
        && std::isalpha(static_cast<unsigned char>(argument[name]));
}

// Whether the argument names the option, and its value after "=" if it has one.
bool names(const OptionSpec &entry, std::string_view argument, std::string_view &value)
{
    // The toolkit reads its options with one dash or two.
    if (entry.use == OptionUse::Toolkit && argument.starts_with("--"))
        argument.remove_prefix(1);
    if (!argument.starts_with(entry.name))
        return false;
    const std::string_view rest = argument.substr(entry.name.size());
    if (rest.empty())
        return entry.value != OptionValue::Joined;
    if (rest.front() != '=' || entry.value == OptionValue::None)
        return false;
    value = rest.substr(1);
    return true;
}

std::array<std::span<const OptionSpec>, 2> tables()
{
    return {std::span<const OptionSpec>(ProgramOptions), toolkitOptions()};
}

// Whether the window's program takes the option, as it or for its toolkit.
bool forTheWindow(Option option)
{
    for (const std::span<const OptionSpec> table : tables()) {
        for (const OptionSpec &entry : table) {
            if (entry.option == option)
                return entry.use == OptionUse::Window || entry.use == OptionUse::Both
                    || entry.use == OptionUse::Toolkit;
        }
    }
    return false;
}

} // namespace

CommandLine readCommandLine(std::span<const std::string_view> arguments)
{
    CommandLine line;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        Argument argument{Option::Amount, arguments[i], {}, false};
        if (!optionsEnded && argument.written == "--"sv) {
            optionsEnded = true;
            argument.option = Option::EndOfOptions;
        }
        if (optionsEnded || !isOption(argument.written)) {
            line.arguments.push_back(argument);
            continue;
        }
        argument.option = Option::Unknown;
        for (const std::span<const OptionSpec> table : tables()) {
            for (const OptionSpec &entry : table) {
                std::string_view value;
                if (argument.option != Option::Unknown || !names(entry, argument.written, value))
                    continue;
                const bool apart = entry.value == OptionValue::JoinedOrApart
                    && argument.written.find('=') == std::string_view::npos;
                if (apart && i + 1 == arguments.size())
                    continue; // the value is missing
                argument.option = entry.option;
                argument.value = apart ? arguments[++i] : value;
                argument.valueApart = apart;
            }
        }
        line.arguments.push_back(argument);
    }
    return line;
}

std::optional<Option> CommandLine::answer() const
{
    for (const Argument &argument : arguments) {
        if (argument.option == Option::Help || argument.option == Option::Version)
            return argument.option;
    }
    return std::nullopt;
}

bool CommandLine::has(Option option) const
{
    return count(option) > 0;
}

int CommandLine::count(Option option) const
{
    return int(
        std::count_if(arguments.begin(), arguments.end(),
                      [option](const Argument &argument) { return argument.option == option; }));
}

const Argument *CommandLine::firstNotForWindow() const
{
    const auto found
        = std::find_if(arguments.begin(), arguments.end(),
                       [](const Argument &argument) { return !forTheWindow(argument.option); });
    return found == arguments.end() ? nullptr : &*found;
}

std::vector<std::string> CommandLine::forWindow() const
{
    std::vector<std::string> result;
    for (const Argument &argument : arguments) {
        if (!forTheWindow(argument.option))
            continue;
        result.emplace_back(argument.written);
        if (argument.valueApart)
            result.emplace_back(argument.value);
    }
    return result;
}

} // namespace Monvert
