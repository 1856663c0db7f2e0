// SPDX-License-Identifier: MIT
#include "rules/messages.h"

#include "rules/utf8.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <string_view>
#include <utility>

namespace Monvert {

namespace {

// What a message shows of a text.
constexpr std::size_t ShownCharacters = 80;

// Control characters, format characters (bidirectional controls, zero-width
// ones, the byte order mark) and whatever else draws nothing are shown
// escaped, so that a message stays on one line, in the order it was written,
// shows every character that made the text no amount, and cannot drive the
// terminal.
bool shownEscaped(char32_t c)
{
    constexpr std::array<std::pair<char32_t, char32_t>, 22> invisible{{
        {0x00AD, 0x00AD},   {0x034F, 0x034F},   {0x0600, 0x0605},   {0x061C, 0x061C},
        {0x06DD, 0x06DD},   {0x070F, 0x070F},   {0x115F, 0x1160},   {0x180B, 0x180F},
        {0x200B, 0x200F},   {0x2028, 0x202E},   {0x2060, 0x206F},   {0x3164, 0x3164},
        {0xFE00, 0xFE0F},   {0xFEFF, 0xFEFF},   {0xFFA0, 0xFFA0},   {0xFFF9, 0xFFFB},
        {0xFFFE, 0xFFFF},   {0x110BD, 0x110BD}, {0x1D173, 0x1D17A}, {0xE0001, 0xE0001},
        {0xE0020, 0xE007F}, {0xE0100, 0xE01EF},
    }};
    if (c < 0x20 || c == 0x7F || (c >= 0x80 && c < 0xA0) || c == U'\\')
        return true;
    return std::any_of(invisible.begin(), invisible.end(),
                       [c](const auto &range) { return c >= range.first && c <= range.second; });
}

} // namespace

std::string shownText(std::u16string_view text, bool cut)
{
    std::u16string shown;
    std::size_t characters = 0;
    std::size_t i = 0;
    for (; i < text.size() && characters < ShownCharacters; ++characters) {
        const auto [c, length] = firstUtf16(text.substr(i));
        if (shownEscaped(c)) {
            std::array<char, 12> escaped{};
            const int written = c == U'\\' ? std::snprintf(escaped.data(), escaped.size(), "\\\\")
                : c == U'\t'               ? std::snprintf(escaped.data(), escaped.size(), "\\t")
                : c < 0x80 ? std::snprintf(escaped.data(), escaped.size(), "\\x%02X", unsigned(c))
                : c < 0x10000
                ? std::snprintf(escaped.data(), escaped.size(), "\\u%04X", unsigned(c))
                : std::snprintf(escaped.data(), escaped.size(), "\\U%08X", unsigned(c));
            shown.append(escaped.data(), escaped.data() + written);
        } else {
            shown += text.substr(i, length);
        }
        i += length;
    }
    if (cut || i < text.size())
        shown += u"...";
    std::string bytes;
    encodeUtf8(shown, bytes);
    return bytes;
}

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
