// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

namespace Monvert::Forms {

// The system clipboard, plain text only.
class Clipboard
{
public:
    // The empty text when the clipboard holds no text.
    [[nodiscard]] std::u16string GetText() const;
    void Clear();
    void SetText(std::u16string_view text);
};

} // namespace Monvert::Forms
