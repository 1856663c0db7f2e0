// SPDX-License-Identifier: MIT
#pragma once
// Drives the real window the way a user's keyboard and mouse do, for the
// widget tests, the event fuzzer and the benchmarks.

#include "forms/qt/widgets.h"
#include "number_format.h"
#include "window/form1.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLocale>
#include <QMouseEvent>
#include <QWidget>

#include <initializer_list>
#include <memory>

namespace Monvert::Driving {

// A window under Italian regional settings, loaded as at start-up.
inline std::unique_ptr<Form1> italianForm()
{
    auto form = std::make_unique<Form1>(numberFormatFor(QLocale(QLocale::Italian, QLocale::Italy)));
    form->Form_Load();
    return form;
}

// A box's text as Qt holds it, to compare with the tests' own.
inline QString text(const Forms::TextBox &box)
{
    return QString::fromStdU16String(box.Text());
}

inline QString selText(const Forms::TextBox &box)
{
    return QString::fromStdU16String(box.SelText());
}

// One key pressed and released.
inline void key(QWidget *widget, int code, const QString &text = {})
{
    QKeyEvent press(QEvent::KeyPress, code, Qt::NoModifier, text);
    QApplication::sendEvent(widget, &press);
    QKeyEvent release(QEvent::KeyRelease, code, Qt::NoModifier, text);
    QApplication::sendEvent(widget, &release);
}

// Left-button events near the widget's top-left corner, in the given order.
inline void mouse(QWidget *widget, std::initializer_list<QEvent::Type> types)
{
    const QPoint at(3, 3);
    for (const QEvent::Type type : types) {
        const Qt::MouseButtons held
            = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, at, widget->mapToGlobal(at), Qt::LeftButton, held, Qt::NoModifier);
        QApplication::sendEvent(widget, &event);
    }
}

inline void click(QWidget *widget)
{
    mouse(widget, {QEvent::MouseButtonPress, QEvent::MouseButtonRelease});
}

// A double-click as an X11 server delivers it through Qt: press, release,
// double-click, release.
inline void doubleClick(QWidget *widget)
{
    mouse(widget,
          {QEvent::MouseButtonPress, QEvent::MouseButtonRelease, QEvent::MouseButtonDblClick,
           QEvent::MouseButtonRelease});
}

} // namespace Monvert::Driving
