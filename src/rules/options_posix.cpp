// SPDX-License-Identifier: MIT
#include "rules/options.h"

#include <array>

namespace Monvert {

namespace {

// The options QGuiApplication and QApplication take for themselves.
constexpr std::array<OptionSpec, 21> QtOptions{{
    {"-platform", Option::ToolkitPlatform, OptionUse::Toolkit, OptionValue::JoinedOrApart},
    {"-display", Option::ToolkitDisplay, OptionUse::Toolkit, OptionValue::JoinedOrApart},
    {"-platformpluginpath", Option::Toolkit, OptionUse::Toolkit, OptionValue::JoinedOrApart},
    {"-platformtheme", Option::Toolkit, OptionUse::Toolkit, OptionValue::JoinedOrApart},
    {"-plugin", Option::Toolkit, OptionUse::Toolkit, OptionValue::JoinedOrApart},
    {"-qwindowgeometry", Option::Toolkit, OptionUse::Toolkit, OptionValue::JoinedOrApart},
    {"-qwindowicon", Option::Toolkit, OptionUse::Toolkit, OptionValue::JoinedOrApart},
    {"-qwindowtitle", Option::Toolkit, OptionUse::Toolkit, OptionValue::JoinedOrApart},
    {"-session", Option::Toolkit, OptionUse::Toolkit, OptionValue::JoinedOrApart},
    {"-geometry", Option::Toolkit, OptionUse::Toolkit, OptionValue::JoinedOrApart},
    {"-style", Option::Toolkit, OptionUse::Toolkit, OptionValue::JoinedOrApart},
    {"-stylesheet", Option::Toolkit, OptionUse::Toolkit, OptionValue::JoinedOrApart},
    {"-name", Option::Toolkit, OptionUse::Toolkit, OptionValue::JoinedOrApart},
    {"-title", Option::Toolkit, OptionUse::Toolkit, OptionValue::JoinedOrApart},
    {"-qmljsdebugger", Option::Toolkit, OptionUse::Toolkit, OptionValue::JoinedOrApart},
    {"-reverse", Option::Toolkit, OptionUse::Toolkit},
    {"-widgetcount", Option::Toolkit, OptionUse::Toolkit},
    {"-nograb", Option::Toolkit, OptionUse::Toolkit},
    {"-dograb", Option::Toolkit, OptionUse::Toolkit},
    {"-sync", Option::Toolkit, OptionUse::Toolkit},
    {"-testability", Option::Toolkit, OptionUse::Toolkit},
}};

} // namespace

std::span<const OptionSpec> toolkitOptions()
{
    return QtOptions;
}

} // namespace Monvert
