// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Text in and out of the program where no toolkit does it: the terminal and
// the C library's regional settings. Every reading of UTF-8 or of UTF-16
// pairs goes through here, so that a text means one thing everywhere.
namespace Monvert {

// A character and how many bytes, or UTF-16 units, it takes.
struct Character
{
    char32_t value;
    std::size_t length;
};

inline constexpr char32_t ReplacementCharacter = U'\uFFFD';

[[nodiscard]] constexpr bool isHighSurrogate(char32_t unit)
{
    return unit >= 0xD800 && unit < 0xDC00;
}

// The first character of UTF-8 bytes, which are not empty. A byte that
// starts no well-formed sequence (an overlong form, a surrogate, one cut
// short) is one replacement character, one byte long.
[[nodiscard]] Character firstUtf8(std::string_view bytes);

// The last character of UTF-8 bytes, which are not empty, read as
// firstUtf8 reads the first: a last byte that ends no well-formed sequence
// is one replacement character.
[[nodiscard]] Character lastUtf8(std::string_view bytes);

// How many bytes at the end start a sequence that more bytes could finish.
[[nodiscard]] std::size_t unfinishedUtf8(std::string_view bytes);

// The first character of UTF-16 text, which is not empty: a surrogate pair
// is one character, a lone surrogate one unit standing for itself.
[[nodiscard]] Character firstUtf16(std::u16string_view text);

// UTF-8 in, UTF-16 out, replacing what was there.
void decodeUtf8(std::string_view bytes, std::u16string &text);

// Appends the UTF-8 form of the text; a lone surrogate becomes a replacement character.
void encodeUtf8(std::u16string_view text, std::string &bytes);

} // namespace Monvert
