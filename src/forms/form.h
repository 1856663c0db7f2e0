// SPDX-License-Identifier: MIT
#pragma once

#include <QPointer>
#include <QWidget>

#include <functional>
#include <optional>

namespace Monvert::Forms {

// A top-level window whose width is read and set in twips, outer frame
// included as the reference frame counts it, and whose closing ends the program.
class Form : public QWidget
{
public:
    explicit Form(Qt::WindowFlags flags);

    // Single precision, as the window's procedures expect it. Once set, the
    // width reads back as set: pixels are coarser than twips, and a window
    // manager may keep a window wider than asked.
    [[nodiscard]] float Width() const;
    // Resizes at once and keeps the left edge; controls left outside are hidden.
    void SetWidth(float twips);

    // The native handle, created on first use.
    [[nodiscard]] WId hWnd();

    // Shown again, not minimized, on top and active, as another start of the
    // program asks; Reopened runs then, for what the window itself restores.
    void BringBack();
    std::function<void()> Reopened;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    std::optional<float> m_width;
    QPointer<QWidget> m_hiddenFocus;
};

} // namespace Monvert::Forms
