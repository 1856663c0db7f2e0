// SPDX-License-Identifier: MIT
#include "forms/form.h"

#include "forms/placement.h"
#include "forms/qt/native.h"
#include "forms/qt/placement_xcb.h"
#include "forms/qt/units.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QIcon>
#include <QPixmap>
#include <QResizeEvent>
#include <QTimer>

#include <algorithm>
#include <cmath>

namespace Monvert::Forms {

namespace {

// The window icon's images, compiled in. Loading them from files or resources
// would make Qt scan its icon-engine and image-format plugins first, a few
// milliseconds of every start before the window can appear.
#include "monvert-16.xpm"
#include "monvert.xpm"

class FormWidget final : public QWidget
{
public:
    explicit FormWidget(Form::Native &native)
        : QWidget(nullptr,
                  Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                      | Qt::WindowCloseButtonHint)
        , m_native(native)
    { }

    Form::Native &m_native;

protected:
    void resizeEvent(QResizeEvent *event) override
    {
        QWidget::resizeEvent(event);
        // KWin with its Breeze frame makes the client area taller than
        // asked, whatever the size hints say: the controls that reach the
        // bottom of the size asked for reach the real bottom, rather than
        // leave an empty band under the row.
        for (QWidget *child : findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
            if (!child->isWindow() && child->geometry().bottom() + 1 >= minimumHeight()
                && child->geometry().bottom() + 1 != height())
                child->resize(child->width(), std::max(1, height() - child->y()));
        }
    }

    void closeEvent(QCloseEvent *event) override
    {
        // Qt does not count a tool window when it decides that the last
        // window has closed, so the program would live on without a window.
        QWidget::closeEvent(event);
        if (event->isAccepted())
            QCoreApplication::quit();
    }
};

} // namespace

Form::Form()
    : m_native(std::make_unique<Native>())
{
    m_native->widget = new FormWidget(*m_native);
    QWidget *widget = m_native->widget;
    QIcon icon;
    icon.addPixmap(QPixmap(monvert));
    icon.addPixmap(QPixmap(monvert_16));
    widget->setWindowIcon(icon);
    // The larger images are PNG, which Qt reads only after looking through its
    // image plugins; that waits until the window is up. Qt hands the window
    // system no image above 128 pixels.
    QTimer::singleShot(0, widget, [widget] {
        QIcon larger = widget->windowIcon();
        for (const int size : {48, 64, 128})
            larger.addFile(QStringLiteral(":/icons/org.monvert.Monvert-%1.png").arg(size),
                           QSize(size, size));
        widget->setWindowIcon(larger);
    });
}

Form::~Form()
{
    delete m_native->widget;
}

void Form::SetCaption(std::u16string_view caption)
{
    m_native->widget->setWindowTitle(qString(caption));
}

void Form::SetBackColor(Color color)
{
    QWidget *widget = m_native->widget;
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, qColor(color));
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

void Form::SetClientArea(const Twips &area)
{
    QWidget *widget = m_native->widget;
    const QRect client = pixels(area, widget);
    widget->move(client.topLeft());
    widget->setFixedSize(client.size());
}

float Form::Width() const
{
    const QWidget *widget = m_native->widget;
    const double outer
        = widget->width() + (ReferenceFrame.left + ReferenceFrame.right) * screenScale(widget);
    return m_native->width ? *m_native->width : float(outer * twipsPerPixel(widget));
}

void Form::SetWidth(float twips)
{
    QWidget *widget = m_native->widget;
    m_native->width = twips;
    const double frame = (ReferenceFrame.left + ReferenceFrame.right) * screenScale(widget);
    const int client = std::max(1, int(std::lround(double(twips) / twipsPerPixel(widget) - frame)));
    setWidthInPlace(widget, client);
    // The focus leaves a control before it is hidden: in an active window Qt
    // would hand it on to the next box, which may be hidden a moment later
    // with the focus still in it, and would give it back on the window's
    // next activation.
    QWidget *focused = widget->focusWidget();
    if (focused && focused != widget && focused->x() >= client) {
        m_native->hiddenFocus = focused;
        focused->clearFocus();
    }
    for (QWidget *child : widget->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        if (child->isWindow())
            continue;
        child->setVisible(child->x() < client);
        if (child == m_native->hiddenFocus && child->isVisible())
            child->setFocus(Qt::OtherFocusReason);
    }
}

WindowHandle Form::hWnd()
{
    return WindowHandle(m_native->widget->winId());
}

void Form::BringBack()
{
    QWidget *widget = m_native->widget;
    widget->setWindowState(widget->windowState() & ~Qt::WindowMinimized);
    widget->show();
    widget->raise();
    widget->activateWindow();
    bringToFront(widget);
    if (Reopened)
        Reopened();
}

QWidget *widgetOf(const Form &form)
{
    return form.native().widget;
}

Form::Native *nativeOf(const QWidget *window)
{
    const auto *form = dynamic_cast<const FormWidget *>(window);
    return form ? &form->m_native : nullptr;
}

} // namespace Monvert::Forms
