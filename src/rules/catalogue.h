// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <string_view>

// A compiled message catalogue (GNU .mo, little-endian) read as it lies in
// memory: where the C library's gettext is not there to read it, as on
// Windows, where the catalogue travels inside the program.
namespace Monvert {

// The translation of a message written in English, or none when the
// catalogue does not have it or is no catalogue. The view lies inside the
// catalogue, followed by a zero byte there.
[[nodiscard]] std::optional<std::string_view> lookUp(std::string_view catalogue,
                                                     std::string_view english);

} // namespace Monvert
