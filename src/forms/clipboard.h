// SPDX-License-Identifier: MIT
#pragma once

#include <QClipboard>
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

// The text of the clipboard or the selection, asking a slow owner as little as
// possible; the empty text when it holds none.
[[nodiscard]] QString clipboardText(QClipboard::Mode mode);

} // namespace Monvert::Forms
