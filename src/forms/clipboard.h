// SPDX-License-Identifier: MIT
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace Monvert::Forms {

// The system clipboard, plain text only.
class Clipboard
{
public:
    Clipboard();
    ~Clipboard();
    Clipboard(const Clipboard &) = delete;
    Clipboard &operator=(const Clipboard &) = delete;

    // The empty text when the clipboard holds no plain text, or cannot be
    // read: another program may hold it.
    [[nodiscard]] std::u16string GetText() const;
    // Whatever the clipboard held, every format of it, gives way to the text,
    // in one step: other programs never see it empty between the two. False
    // when the text could not be put there, so that the failure is never
    // taken for a copy.
    bool SetText(std::u16string_view text);

    struct Native;

private:
    std::unique_ptr<Native> m_native;
};

} // namespace Monvert::Forms
