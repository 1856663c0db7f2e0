// SPDX-License-Identifier: MIT
#include "forms/label.h"

#include "forms/qt/dispatch.h"
#include "forms/qt/native.h"
#include "forms/qt/units.h"
#include "forms/qt/waits.h"

#include <QAccessibleWidget>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>

namespace Monvert::Forms {

namespace {

std::int16_t buttonCode(Qt::MouseButton button)
{
    switch (button) {
    case Qt::LeftButton: return 1;
    case Qt::RightButton: return 2;
    case Qt::MiddleButton: return 4;
    default: return 0;
    }
}

} // namespace

class LabelWidget final : public QLabel
{
public:
    LabelWidget(QWidget *parent, Label *label)
        : QLabel(parent)
        , m_label(label)
    { }

    Label *m_label;

protected:
    void mousePressEvent(QMouseEvent *event) override
    {
        if (madeDuringWait(event->timestamp()))
            return;
        if (event->button() == Qt::LeftButton)
            m_clickArmed = true;
        timed(event->timestamp(), [&] { raiseMouse(event, &Label::MouseDown, "MouseDown"); });
    }

    void mouseReleaseEvent(QMouseEvent *event) override
    {
        if (madeDuringWait(event->timestamp()))
            return;
        // Qt grabs the mouse on a press, so the release comes here even when
        // the pointer has left the label; only a release over it is a click.
        const bool click = m_clickArmed && event->button() == Qt::LeftButton
            && rect().contains(event->position().toPoint());
        if (event->button() == Qt::LeftButton)
            m_clickArmed = false;
        timed(event->timestamp(), [&] {
            raiseMouse(event, &Label::MouseUp, "MouseUp");
            if (click && m_label && m_label->Click)
                dispatch(utf16(objectName()), "Click", m_label->Click);
        });
    }

    void mouseDoubleClickEvent(QMouseEvent *event) override
    {
        if (madeDuringWait(event->timestamp()))
            return;
        // QWidget's default treats the second press as a press; here it is
        // the double-click alone, and its release is no second click.
        if (event->button() != Qt::LeftButton) {
            mousePressEvent(event);
            return;
        }
        m_clickArmed = false;
        if (m_label && m_label->DblClick)
            timed(event->timestamp(),
                  [&] { dispatch(utf16(objectName()), "DblClick", m_label->DblClick); });
    }

private:
    void raiseMouse(QMouseEvent *event, Label::MouseProcedure Label::*procedure, const char *name)
    {
        if (!m_label || !(m_label->*procedure))
            return;
        const double twips = twipsPerPixel(this);
        const auto button = buttonCode(event->button());
        const auto shift = shiftState(event->modifiers());
        const auto x = float(event->position().x() * twips);
        const auto y = float(event->position().y() * twips);
        dispatch(utf16(objectName()), name, [&] { (m_label->*procedure)(button, shift, x, y); });
    }

    bool m_clickArmed = false;
};

namespace {

// To a screen reader a label is the button it stands in for, and its press
// runs the label's click, so the clipboard commands need no mouse.
class LabelAccessible final : public QAccessibleWidget
{
public:
    explicit LabelAccessible(LabelWidget *widget)
        : QAccessibleWidget(widget, QAccessible::Button)
    { }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty())
            return static_cast<const QLabel *>(widget())->text();
        return QAccessibleWidget::text(t);
    }

    QStringList actionNames() const override { return {pressAction()}; }

    void doAction(const QString &action) override
    {
        auto *label = static_cast<LabelWidget *>(widget());
        if (action == pressAction() && label->m_label && label->m_label->Click)
            dispatch(utf16(label->objectName()), "Click", label->m_label->Click);
    }
};

QAccessibleInterface *accessibleLabel(const QString &, QObject *object)
{
    auto *label = dynamic_cast<LabelWidget *>(object);
    return label ? new LabelAccessible(label) : nullptr;
}

} // namespace

struct Label::Native
{
    QPointer<LabelWidget> widget;
};

namespace {

QFont captionFont()
{
    // The face the window was designed with, and any sans-serif where it is missing.
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(8.25);
    font.setWeight(QFont::Bold);
    return font;
}

} // namespace

Label::Label(Form &form, std::u16string_view name, std::u16string_view caption)
    : m_native(std::make_unique<Native>())
{
    static const bool factoryInstalled = (QAccessible::installFactory(accessibleLabel), true);
    (void)factoryInstalled;
    LabelWidget *widget = new LabelWidget(widgetOf(form), this);
    m_native->widget = widget;
    widget->setObjectName(qString(name));
    widget->setText(qString(caption));
    widget->setFont(captionFont());
    widget->setFrameStyle(QFrame::Box | QFrame::Plain);
    widget->setLineWidth(1);
    widget->setAlignment(Qt::AlignCenter);
    widget->setFocusPolicy(Qt::NoFocus);
    widget->setAutoFillBackground(true);
}

Label::~Label()
{
    if (m_native->widget)
        m_native->widget->m_label = nullptr;
}

void Label::Move(const Twips &place)
{
    m_native->widget->setGeometry(pixels(place, m_native->widget));
}

void Label::SetBackColor(Color color)
{
    QPalette palette = m_native->widget->palette();
    palette.setColor(QPalette::Window, qColor(color));
    m_native->widget->setPalette(palette);
}

void Label::SetForeColor(Color color)
{
    QPalette palette = m_native->widget->palette();
    palette.setColor(QPalette::WindowText, qColor(color));
    m_native->widget->setPalette(palette);
}

bool Label::FontBold() const
{
    return m_native->widget->font().bold();
}

void Label::SetFontBold(bool bold)
{
    QFont font = m_native->widget->font();
    font.setBold(bold);
    m_native->widget->setFont(font);
}

void Label::Names(TextBox &box)
{
    m_native->widget->setBuddy(widgetOf(box));
}

QLabel *widgetOf(const Label &label)
{
    return label.native().widget;
}

} // namespace Monvert::Forms
