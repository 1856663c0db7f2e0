// SPDX-License-Identifier: MIT
#pragma once

#include <QPointer>
#include <QString>

#include <cstdint>
#include <functional>

class QLabel;
class QWidget;

namespace Monvert::Forms {

class LabelWidget;

// A caption that works as a button. Events come in the order the window's
// procedures were written for: a click is MouseDown, MouseUp, Click; a
// double-click is MouseDown, MouseUp, Click, DblClick, MouseUp.
class Label
{
public:
    Label(QWidget *parent, const QString &name, const QString &caption);
    ~Label();
    Label(const Label &) = delete;
    Label &operator=(const Label &) = delete;

    [[nodiscard]] bool FontBold() const;
    void SetFontBold(bool bold);

    [[nodiscard]] QLabel *widget() const;

    std::function<void()> Click;
    std::function<void()> DblClick;
    // Button (1 left, 2 right, 4 middle), shift state, position in twips.
    using MouseProcedure
        = std::function<void(std::int16_t button, std::int16_t shift, float x, float y)>;
    MouseProcedure MouseDown;
    MouseProcedure MouseUp;

private:
    friend class LabelWidget;
    QPointer<LabelWidget> m_widget;
};

} // namespace Monvert::Forms
