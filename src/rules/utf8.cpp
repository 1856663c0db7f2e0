// SPDX-License-Identifier: MIT
#include "rules/utf8.h"

#include <algorithm>

namespace Monvert {

namespace {

// How long the sequence a byte starts is, or 0 where no well-formed one can
// start: a continuation byte, C0 and C1 (only ever overlong), F5 and above.
std::size_t sequenceLength(unsigned char lead)
{
    return lead < 0x80 ? 1
        : lead < 0xC2  ? 0
        : lead < 0xE0  ? 2
        : lead < 0xF0  ? 3
        : lead < 0xF5  ? 4
                       : 0;
}

bool isContinuation(unsigned char byte)
{
    return (byte & 0xC0) == 0x80;
}

} // namespace

Character firstUtf8(std::string_view bytes)
{
    const auto lead = static_cast<unsigned char>(bytes.front());
    const std::size_t length = sequenceLength(lead);
    if (length == 1)
        return {lead, 1};
    constexpr Character Malformed{ReplacementCharacter, 1};
    if (length == 0 || length > bytes.size())
        return Malformed;
    char32_t c = lead & (0x7F >> length);
    for (std::size_t k = 1; k < length; ++k) {
        const auto next = static_cast<unsigned char>(bytes[k]);
        if (!isContinuation(next))
            return Malformed;
        c = (c << 6) | (next & 0x3F);
    }
    if ((length == 3 && (c < 0x800 || (c >= 0xD800 && c < 0xE000)))
        || (length == 4 && (c < 0x10000 || c > 0x10FFFF)))
        return Malformed;
    return {c, length};
}

Character lastUtf8(std::string_view bytes)
{
    std::size_t start = bytes.size() - 1;
    while (start > 0 && bytes.size() - start < 4
           && isContinuation(static_cast<unsigned char>(bytes[start])))
        --start;
    const Character c = firstUtf8(bytes.substr(start));
    return c.length == bytes.size() - start ? c : Character{ReplacementCharacter, 1};
}

std::size_t unfinishedUtf8(std::string_view bytes)
{
    for (std::size_t back = 1; back <= std::min<std::size_t>(3, bytes.size()); ++back) {
        const auto byte = static_cast<unsigned char>(bytes[bytes.size() - back]);
        if (!isContinuation(byte))
            return sequenceLength(byte) > back ? back : 0;
    }
    return 0;
}

Character firstUtf16(std::u16string_view text)
{
    const char32_t c = text.front();
    if (isHighSurrogate(c) && text.size() > 1 && text[1] >= 0xDC00 && text[1] < 0xE000)
        return {0x10000 + ((c - 0xD800) << 10) + (text[1] - 0xDC00), 2};
    return {c, 1};
}

void decodeUtf8(std::string_view bytes, std::u16string &text)
{
    text.clear();
    text.reserve(bytes.size());
    while (!bytes.empty()) {
        // Amounts are mostly ASCII: a byte of it is one unit, asked nothing more.
        if (const auto byte = static_cast<unsigned char>(bytes.front()); byte < 0x80) {
            text += char16_t(byte);
            bytes.remove_prefix(1);
            continue;
        }
        const Character c = firstUtf8(bytes);
        if (c.value >= 0x10000) {
            text += char16_t(0xD800 + ((c.value - 0x10000) >> 10));
            text += char16_t(0xDC00 + ((c.value - 0x10000) & 0x3FF));
        } else {
            text += char16_t(c.value);
        }
        bytes.remove_prefix(c.length);
    }
}

void encodeUtf8(std::u16string_view text, std::string &bytes)
{
    while (!text.empty()) {
        auto [c, length] = firstUtf16(text);
        text.remove_prefix(length);
        if (c >= 0xD800 && c < 0xE000)
            c = ReplacementCharacter;
        if (c < 0x80) {
            bytes += char(c);
        } else if (c < 0x800) {
            bytes += char(0xC0 | (c >> 6));
            bytes += char(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            bytes += char(0xE0 | (c >> 12));
            bytes += char(0x80 | ((c >> 6) & 0x3F));
            bytes += char(0x80 | (c & 0x3F));
        } else {
            bytes += char(0xF0 | (c >> 18));
            bytes += char(0x80 | ((c >> 12) & 0x3F));
            bytes += char(0x80 | ((c >> 6) & 0x3F));
            bytes += char(0x80 | (c & 0x3F));
        }
    }
}

} // namespace Monvert
