// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

// Text in and out of the program where no toolkit does it: the terminal and
// the C library's regional settings.
namespace Monvert {

// UTF-8 in, UTF-16 out, replacing what was there; each byte that starts no
// well-formed sequence (an overlong form, a surrogate, a cut one) becomes one
// replacement character.
void decodeUtf8(std::string_view bytes, std::u16string &text);

// Appends the UTF-8 form of the text; a lone surrogate becomes a replacement character.
void encodeUtf8(std::u16string_view text, std::string &bytes);

} // namespace Monvert
