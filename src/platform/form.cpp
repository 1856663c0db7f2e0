// SPDX-License-Identifier: MIT
#include "platform/form.h"

#include "platform/units.h"

#include <QCloseEvent>
#include <QCoreApplication>

#include <algorithm>

namespace Monvert::Forms {

Form::Form(Qt::WindowFlags flags)
    : QWidget(nullptr, flags)
{ }

float Form::Width() const
{
    return m_width ? *m_width : float(frameGeometry().width() * twipsPerPixel(this));
}

void Form::SetWidth(float twips)
{
    m_width = twips;
    const int frame = frameGeometry().width() - width();
    const int client = std::max(1, twipsToPixels(double(twips), this) - frame);
    setFixedWidth(client);
}

WId Form::hWnd()
{
    return winId();
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
