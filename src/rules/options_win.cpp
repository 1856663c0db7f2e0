// SPDX-License-Identifier: MIT
#include "rules/options.h"

namespace Monvert {

// The Win32 window takes none.
std::span<const OptionSpec> toolkitOptions()
{
    return {};
}

} // namespace Monvert
