// SPDX-License-Identifier: MIT
#pragma once

// What the Qt implementation keeps behind the forms layer's classes, and the
// conversions between the layer's plain types and Qt's.
#include "forms/form.h"
#include "forms/qt/units.h"
#include "forms/qt/widgets.h"

#include <QClipboard>
#include <QColor>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QWidget>

#include <optional>
#include <string>
#include <string_view>

namespace Monvert::Forms {

class ShortcutGrabs;

struct Form::Native
{
    QWidget *widget = nullptr;
    std::optional<float> width;
    QPointer<QWidget> hiddenFocus;
    // What the placement made of it, for as long as it lives: above all
    // ordinary windows or not, the place it was put at start (where a lost
    // window goes back to), and whether it follows monitors that go away.
    bool aboveAll = false;
    QPoint startPlace;
    bool watchesMonitors = false;
    // The keeper of its global shortcuts, once one is asked for.
    ShortcutGrabs *shortcuts = nullptr;
};

// What the layer keeps for a form, known by its top-level widget; nothing
// for a widget that is no form.
[[nodiscard]] Form::Native *nativeOf(const QWidget *window);

// The text of the clipboard or the selection, asking a slow owner as little as
// possible; the empty text when it holds none.
[[nodiscard]] QString clipboardText(QClipboard::Mode mode);

inline QString qString(std::u16string_view text)
{
    return QString::fromUtf16(text.data(), qsizetype(text.size()));
}

inline std::u16string plain(const QString &text)
{
    return text.toStdU16String();
}

inline QColor qColor(Color color)
{
    return QColor(color.red, color.green, color.blue);
}

inline QRect pixels(const Twips &place, const QWidget *widget)
{
    return QRect(twipsToPixels(place.left, widget), twipsToPixels(place.top, widget),
                 twipsToPixels(place.width, widget), twipsToPixels(place.height, widget));
}

} // namespace Monvert::Forms
