// SPDX-License-Identifier: MIT
#include "forms/form.h"

#include "forms/placement.h"
#include "forms/qt/units.h"

#include <QCloseEvent>
#include <QCoreApplication>

#include <algorithm>

namespace Monvert::Forms {

Form::Form(Qt::WindowFlags flags)
    : QWidget(nullptr, flags)
{ }

float Form::Width() const
{
    const int outer = width() + ReferenceFrame.left() + ReferenceFrame.right();
    return m_width ? *m_width : float(outer * twipsPerPixel(this));
}

void Form::SetWidth(float twips)
{
    m_width = twips;
    const int frame = ReferenceFrame.left() + ReferenceFrame.right();
    const int client = std::max(1, twipsToPixels(double(twips), this) - frame);
    setFixedWidth(client);
    // A control the narrower window no longer holds is hidden rather than
    // clipped, so that no key reaches a box the user cannot see; the focus
    // comes back to it when the window is wide enough again.
    QWidget *focused = focusWidget();
    for (QWidget *child : findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        if (child->isWindow())
            continue;
        child->setVisible(child->x() < client);
        if (child == m_hiddenFocus && child->isVisible())
            child->setFocus(Qt::OtherFocusReason);
    }
    if (focused && !focused->isVisible()) {
        m_hiddenFocus = focused;
        // Qt would give it the focus back on the window's next activation.
        focused->clearFocus();
    }
}

WId Form::hWnd()
{
    return winId();
}

void Form::BringBack()
{
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
    if (Reopened)
        Reopened();
}

void Form::closeEvent(QCloseEvent *event)
{
    // Qt does not count a tool window when it decides that the last window
    // has closed, so the program would live on without a window.
    QWidget::closeEvent(event);
    if (event->isAccepted())
        QCoreApplication::quit();
}

} // namespace Monvert::Forms
