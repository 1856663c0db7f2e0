// SPDX-License-Identifier: MIT
#include "rules/options.h"

#include <array>
#include <vector>

namespace Monvert {

namespace {

// The options QGuiApplication and QApplication take for themselves: those in
// the first list take a value, as the next argument or after "=".
constexpr std::array<std::string_view, 15> QtOptionsWithValue{
    "-platform",    "-platformpluginpath", "-platformtheme", "-plugin",  "-qwindowgeometry",
    "-qwindowicon", "-qwindowtitle",       "-session",       "-display", "-geometry",
    "-style",       "-stylesheet",         "-name",          "-title",   "-qmljsdebugger"};
constexpr std::array<std::string_view, 6> QtFlags{"-reverse", "-widgetcount", "-nograb",
                                                  "-dograb",  "-sync",        "-testability"};

} // namespace

std::span<const OptionSpec> toolkitOptions()
{
    static const std::vector<OptionSpec> options = [] {
        std::vector<OptionSpec> table;
        for (const std::string_view name : QtOptionsWithValue) {
            const Option option = name == "-platform" ? Option::ToolkitPlatform
                : name == "-display"                  ? Option::ToolkitDisplay
                                                      : Option::Toolkit;
            table.push_back({name, option, OptionUse::Toolkit, OptionValue::JoinedOrApart});
        }
        for (const std::string_view name : QtFlags)
            table.push_back({name, Option::Toolkit, OptionUse::Toolkit});
        return table;
    }();
    return options;
}

} // namespace Monvert
