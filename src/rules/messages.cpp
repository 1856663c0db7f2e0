// SPDX-License-Identifier: MIT
#include "rules/messages.h"

#include <string_view>

namespace Monvert {

std::string filledIn(const char *message, std::initializer_list<std::string> values)
{
    std::string result;
    auto value = values.begin();
    for (std::string_view rest = message; !rest.empty();) {
        const std::size_t slot = rest.find("%s");
        result += rest.substr(0, slot);
        if (slot == std::string_view::npos)
            break;
        if (value != values.end())
            result += *value++;
        rest.remove_prefix(slot + 2);
    }
    return result;
}

} // namespace Monvert
