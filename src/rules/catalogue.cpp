// SPDX-License-Identifier: MIT
#include "rules/catalogue.h"

#include <cstdint>
#include <cstring>

namespace Monvert {

namespace {

constexpr std::uint32_t Magic = 0x950412de;

// A header, then two tables of (length, offset) pairs: the English messages,
// sorted, and their translations beside them.
struct Catalogue
{
    std::string_view bytes;

    [[nodiscard]] std::uint32_t word(std::size_t offset) const
    {
        std::uint32_t value = 0;
        if (offset + sizeof value <= bytes.size())
            std::memcpy(&value, bytes.data() + offset, sizeof value);
        return value;
    }

    // An entry of a table, which must end before the catalogue does: a zero
    // byte follows each.
    [[nodiscard]] std::optional<std::string_view> entry(std::uint32_t table,
                                                        std::uint32_t index) const
    {
        const std::uint32_t length = word(table + 8 * std::size_t(index));
        const std::uint32_t offset = word(table + 8 * std::size_t(index) + 4);
        if (std::size_t(offset) + length >= bytes.size())
            return std::nullopt;
        return bytes.substr(offset, length);
    }
};

} // namespace

std::optional<std::string_view> lookUp(std::string_view bytes, std::string_view english)
{
    const Catalogue catalogue{bytes};
    if (catalogue.word(0) != Magic)
        return std::nullopt;
    const std::uint32_t count = catalogue.word(8);
    const std::uint32_t originals = catalogue.word(12);
    const std::uint32_t translations = catalogue.word(16);
    std::uint32_t low = 0;
    std::uint32_t high = count;
    while (low < high) {
        const std::uint32_t middle = low + (high - low) / 2;
        const auto original = catalogue.entry(originals, middle);
        if (!original)
            return std::nullopt;
        if (*original == english) {
            const auto translation = catalogue.entry(translations, middle);
            return translation && !translation->empty() ? translation : std::nullopt;
        }
        if (*original < english)
            low = middle + 1;
        else
            high = middle;
    }
    return std::nullopt;
}

} // namespace Monvert
