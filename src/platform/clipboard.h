// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

namespace Monvert::Forms {

// The system clipboard, plain text only.
class Clipboard
{
public:
    // The empty text when the clipboard holds no text.
    [[nodiscard]] QString GetText() const;
    void Clear();
    void SetText(const QString &text);
};

} // namespace Monvert::Forms
