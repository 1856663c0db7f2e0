// SPDX-License-Identifier: MIT
#include "forms/textbox.h"

#include "forms/clipboard.h"
#include "forms/qt/dispatch.h"
#include "forms/qt/native.h"
#include "forms/qt/waits.h"
#include "rules/messages.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleHints>
#include <QStyleOptionFrame>
#include <QTextLayout>
#include <QToolTip>

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>

namespace Monvert::Forms {

namespace {

std::int16_t keyCode(int key)
{
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter: // the keypad's
        return KeyEnter;
    case Qt::Key_Backspace: return 8;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return 9;
    case Qt::Key_Shift: return 16;
    case Qt::Key_Control: return 17;
    case Qt::Key_Alt: return 18;
    case Qt::Key_Escape: return 27;
    case Qt::Key_End: return 35;
    case Qt::Key_Home: return 36;
    case Qt::Key_Left: return 37;
    case Qt::Key_Up: return 38;
    case Qt::Key_Right: return 39;
    case Qt::Key_Down: return 40;
    case Qt::Key_Delete: return 46;
    default:
        // Digits and capital letters share their codes with Qt's key numbers.
        return key >= 0x20 && key < 0x80 ? std::int16_t(key) : std::int16_t(0);
    }
}

// QLineEdit lays out and draws its whole line again at every blink of the
// caret, so a box holding a long text (a large clipboard after a label click)
// would keep a processor busy for as long as it holds it. While any box holds
// one, the caret stays steady instead.
constexpr qsizetype LongText = 4096;

void countLongBox(int change)
{
    static int longBoxes = 0;
    static int flashTime = 0;
    QStyleHints *hints = QApplication::styleHints();
    if (longBoxes == 0)
        flashTime = hints->cursorFlashTime();
    longBoxes += change;
    hints->setCursorFlashTime(longBoxes > 0 ? 0 : flashTime);
}

} // namespace

class TextBoxWidget;

struct TextBox::Native
{
    QPointer<TextBoxWidget> widget;
};

class TextBoxWidget final : public QLineEdit
{
public:
    TextBoxWidget(QWidget *parent, TextBox *box)
        : QLineEdit(parent)
        , m_box(box)
    {
        if (parent)
            parent->installEventFilter(this);
        connect(this, &QLineEdit::textChanged, this, [this](const QString &text) {
            ++m_revision;
            if (const bool isLong = text.size() > LongText; isLong != m_long) {
                m_long = isLong;
                countLongBox(isLong ? 1 : -1);
            }
            fitText();
            // QLineEdit counts a drop, an input method's or a screen
            // reader's set as no edit: the box tells every change.
            if (m_box)
                m_box->textChanged();
        });
    }

    ~TextBoxWidget() override
    {
        if (m_long)
            countLongBox(-1);
    }

    TextBox *m_box;
    bool m_long = false;
    QString m_keypadDecimal;
    QSize m_measuredSizes; // the box's width and its window's when m_room was measured
    qreal m_room = 0;
    QFont m_normalFont;
    std::optional<QFontMetricsF> m_normalMetrics;
    std::array<qreal, 128> m_asciiAdvance{};

    // A long text is drawn smaller, in half points (or whole pixels for a
    // font sized so); past the smallest size paintEvent marks the side where
    // text is hidden.
    void fitText()
    {
        const QFont normal = parentWidget() ? parentWidget()->font() : QApplication::font();
        const bool inPoints = normal.pointSizeF() > 0;
        const qreal size = inPoints ? normal.pointSizeF() : qreal(normal.pixelSize());
        // The style's geometry and the font's metrics are asked for again
        // only when the box, the window or the font has changed: this runs
        // at every keystroke.
        const QSize sizes(width(), parentWidget() ? parentWidget()->width() : 0);
        if (sizes != m_measuredSizes) {
            m_measuredSizes = sizes;
            m_room = textArea().width();
        }
        if (!m_normalMetrics || m_normalFont != normal) {
            m_normalFont = normal;
            m_normalMetrics.emplace(normal);
            m_asciiAdvance.fill(-1);
        }
        const qreal room = m_room;
        const QString shown = text();
        QFont font = normal;
        const auto sized
            = [&](double at) { inPoints ? font.setPointSizeF(at) : font.setPixelSize(int(at)); };
        const FittedSize fitted = fittedSize(std::size_t(shown.size()), size, 0.5, [&](double at) {
            if (at == size)
                return normalAdvance(shown) <= room;
            sized(at);
            return QFontMetricsF(font).horizontalAdvance(shown) <= room;
        });
        font = normal;
        if (fitted.size != size)
            sized(fitted.size);
        // Setting a font lays the box out again: only when the size changes.
        // An empty font inherits the window's again.
        if (font != this->font())
            setFont(font == normal ? QFont() : font);
        m_hidden = fitted.hidden;
        if (m_box)
            m_box->fitted(fitted.hidden);
    }

    bool m_hidden = false; // as last fitted, for the marks

    // The text's width at the window's size, character by character: laying
    // it out whole (shaping) costs more than the rest of a keystroke, and the
    // texts of a money box have no ligatures. A pixel is kept in hand for
    // kerning.
    qreal normalAdvance(const QString &text)
    {
        qreal advance = 1;
        for (const QChar c : text) {
            if (c.unicode() >= m_asciiAdvance.size()) {
                advance += m_normalMetrics->horizontalAdvance(c);
                continue;
            }
            qreal &known = m_asciiAdvance[c.unicode()];
            if (known < 0)
                known = m_normalMetrics->horizontalAdvance(c);
            advance += known;
        }
        return advance;
    }

    // Where the text is laid out and can be seen: the frame's contents less
    // its text margins and the two pixels QLineEdit keeps at each side, and
    // no further than the window, which may cut the box's far end.
    QRect textArea() const
    {
        QStyleOptionFrame option;
        initStyleOption(&option);
        const QRect contents = style()->subElementRect(QStyle::SE_LineEditContents, &option, this);
        QRect area = contents.marginsRemoved(textMargins()).adjusted(2, 0, -2, 0);
        if (const QWidget *window = parentWidget())
            area.setRight(std::min(area.right(), window->width() - x() - 3));
        return area;
    }

protected:
    void resizeEvent(QResizeEvent *event) override
    {
        QLineEdit::resizeEvent(event);
        fitText();
    }

    // The window's width decides how much of the box can be seen: folding
    // and unfolding change it while the box keeps its own.
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == parentWidget() && event->type() == QEvent::Resize)
            fitText();
        return QLineEdit::eventFilter(watched, event);
    }

public:
    // The ellipses as last drawn, and what they were worked out from: a paint
    // with the same text, place, font and scroll draws them again as they are.
    QList<QRectF> m_marks;
    quint64 m_revision = 0; // counts the changes of the text
    struct MarkKey
    {
        quint64 revision = ~quint64(0);
        QRect area;
        QFont font;
        int cursor = 0;
        int caret = 0;
        friend bool operator==(const MarkKey &, const MarkKey &) = default;
    } m_markKey;

    // An ellipsis over each side where text is out of sight, never a clean
    // cut between two digits that would pass for the whole amount; and over
    // every character cut there, since half a digit reads as another (the
    // right half of an 8 is a 3). Beside an ellipsis only whole characters
    // show. QLineEdit scrolls its text as it paints: this asks it after.
    QList<QRectF> cutMarks()
    {
        if (!m_hidden)
            return {};
        // QLineEdit tells where its caret is, rounded to a pixel: the
        // boundary before the caret character sits there, and the text is
        // drawn from a whole pixel (it scrolls by whole pixels).
        const MarkKey key{m_revision, textArea(), font(), cursorPosition(),
                          cursorRect().left() + 5};
        if (key == m_markKey)
            return m_marks;
        m_markKey = key;
        return measuredMarks(key.area, key.cursor, key.caret);
    }

private:
    // Only the text up to what the box shows is laid out: its part before
    // the caret, which fixes where the rest is drawn, and the little after
    // it that fills the box. A long text costs as little as a short one
    // while the caret is near its start, as after every conversion.
    QList<QRectF> measuredMarks(const QRect &area, int cursor, int caret)
    {
        // The text as QLineEdit lays it out: control characters as spaces.
        QString shown = text();
        for (QChar &c : shown) {
            if ((c.unicode() < 0x20 && c != u'\t') || c == QChar::LineSeparator
                || c == QChar::ParagraphSeparator)
                c = u' ';
        }
        const int length = int(shown.size());
        QTextLayout layout;
        QTextLine line;
        qreal origin = 0;
        int end = cursor;
        // The caret is in sight, so the box shows no more than its width
        // past it, unless the characters there draw nothing.
        for (int ahead = area.width() + 16;; ahead *= 2) {
            end = int(std::min<qint64>(length, qint64(cursor) + ahead));
            // A few characters more, so that the last ones are shaped with
            // their neighbours as QLineEdit shapes them.
            layout.setText(shown.left(end + 4));
            layout.setFont(font());
            QTextOption option = layout.textOption();
            option.setTextDirection(Qt::LeftToRight);
            option.setFlags(QTextOption::IncludeTrailingSpaces);
            layout.setTextOption(option);
            layout.beginLayout();
            line = layout.createLine();
            layout.endLayout();
            origin = caret - std::round(line.cursorToX(cursor));
            if (end == length || origin + line.cursorToX(end) > area.right() + 1)
                break;
        }
        const auto at = [&](int k) { return origin + line.cursorToX(k); };
        const Boundaries boundaries{
            at, [&](int k) { return std::min(end, layout.nextCursorPosition(k)); },
            [&](int k) { return layout.previousCursorPosition(k); }, 0, end};

        const qreal width = QFontMetricsF(font()).horizontalAdvance(QChar(0x2026)) + 2;
        const qreal top = area.top();
        const qreal bottom = area.bottom() + 1;
        QList<QRectF> marks;
        // Each mark ends exactly on a character boundary, which on a scaled
        // screen may lie inside a pixel of the widget's own.
        if (origin < area.left()) {
            const qreal begin = area.left() - 2;
            const int k = firstBoundaryFrom(
                begin + width, std::min(end, line.xToCursor(begin + width - origin)), boundaries);
            marks << QRectF(QPointF(begin, top), QPointF(at(k), bottom));
        }
        if (end < length || at(length) > area.right() + 1) {
            const qreal stop = area.right() + 3;
            const int k = lastBoundaryTo(
                stop - width, std::min(end, line.xToCursor(stop - width - origin)), boundaries);
            marks << QRectF(QPointF(at(k), top), QPointF(stop, bottom));
        }
        return marks;
    }

protected:
    void paintEvent(QPaintEvent *event) override
    {
        QLineEdit::paintEvent(event);
        m_marks = cutMarks();
        if (m_marks.isEmpty())
            return;
        QPainter painter(this);
        painter.setPen(palette().color(QPalette::Text));
        for (const QRectF &mark : std::as_const(m_marks)) {
            painter.fillRect(mark, palette().color(QPalette::Base));
            painter.drawText(mark, Qt::AlignCenter, QString(QChar(0x2026)));
        }
    }

    void keyPressEvent(QKeyEvent *event) override
    {
        // A paste reads the clipboard the way a label click does, asking a
        // slow owner as little as possible, and counts as a wait like it.
        if (event->matches(QKeySequence::Paste)) {
            if (!madeDuringWait(event->timestamp()) && !isReadOnly())
                timed(event->timestamp(), [this] { insert(clipboardText(QClipboard::Clipboard)); });
            return;
        }
        // Italian and many other layouts send a full stop from the keypad,
        // which no amount with a decimal comma reads; spreadsheets type the
        // regional separator there, and so do the boxes.
        const bool keypadDecimal = event->modifiers().testFlag(Qt::KeypadModifier)
            && (event->key() == Qt::Key_Period || event->key() == Qt::Key_Comma);
        if (!keypadDecimal || m_keypadDecimal.isEmpty() || event->text() == m_keypadDecimal) {
            QLineEdit::keyPressEvent(event);
            return;
        }
        QKeyEvent regional(event->type(), event->key(), event->modifiers(), m_keypadDecimal,
                           event->isAutoRepeat(), ushort(event->count()));
        QLineEdit::keyPressEvent(&regional);
        event->setAccepted(regional.isAccepted());
    }

    void mouseReleaseEvent(QMouseEvent *event) override
    {
        // The middle button pastes the selection, from whichever program has it.
        if (event->button() == Qt::MiddleButton
            && QGuiApplication::clipboard()->supportsSelection()) {
            if (!madeDuringWait(event->timestamp()))
                timed(event->timestamp(), [&] {
                    setCursorPosition(cursorPositionAt(event->position().toPoint()));
                    insert(clipboardText(QClipboard::Selection));
                });
            return;
        }
        QLineEdit::mouseReleaseEvent(event);
    }

    void keyReleaseEvent(QKeyEvent *event) override
    {
        QLineEdit::keyReleaseEvent(event);
        // Held keys repeat their press; the one release that counts is the real one.
        if (event->isAutoRepeat() || !m_box || !m_box->KeyUp)
            return;
        const std::int16_t code = keyCode(event->key());
        const std::int16_t shift = shiftState(event->modifiers());
        dispatch(utf16(objectName()), "KeyUp", [&] { m_box->KeyUp(code, shift); });
    }
};

TextBox::TextBox(Form &form, std::u16string_view name)
    : m_native(std::make_unique<Native>())
{
    m_native->widget = new TextBoxWidget(widgetOf(form), this);
    m_native->widget->setObjectName(qString(name));
}

TextBox::~TextBox()
{
    if (m_native->widget)
        m_native->widget->m_box = nullptr;
}

void TextBox::Move(const Twips &place)
{
    m_native->widget->setGeometry(pixels(place, m_native->widget));
}

void TextBox::BringToFront()
{
    m_native->widget->raise();
}

std::u16string TextBox::Text() const
{
    return plain(m_native->widget->text());
}

void writeText(TextBox &box, std::u16string_view text)
{
    box.native().widget->setText(qString(text));
    box.native().widget->setCursorPosition(0);
}

std::u16string boxName(const TextBox &box)
{
    return plain(box.native().widget->objectName());
}

std::u16string textStart(const TextBox &box, std::size_t length)
{
    return plain(box.native().widget->text().left(qsizetype(length)));
}

void TextBox::SetSelStart(int start)
{
    m_native->widget->setCursorPosition(start);
}

void TextBox::SetSelLength(int length)
{
    QLineEdit *widget = m_native->widget;
    const int start
        = widget->hasSelectedText() ? widget->selectionStart() : widget->cursorPosition();
    const int available = int(widget->text().size()) - start;
    widget->setSelection(start, std::clamp(length, 0, available));
}

std::u16string TextBox::SelText() const
{
    return plain(m_native->widget->selectedText());
}

void TextBox::SetFocus()
{
    m_native->widget->setFocus(Qt::OtherFocusReason);
}

void TextBox::ShowToolTip()
{
    QLineEdit *widget = m_native->widget;
    // Under the box, or under the window while it is folded.
    QWidget *anchor = widget->isVisible() ? widget : widget->window();
    if (!widget->toolTip().isEmpty())
        QToolTip::showText(anchor->mapToGlobal(QPoint(0, anchor->height())), widget->toolTip(),
                           anchor);
}

void TextBox::SetKeypadDecimal(std::u16string_view separator)
{
    m_native->widget->m_keypadDecimal = qString(separator);
}

void TextBox::SetMaxLength(int length)
{
    m_native->widget->setMaxLength(length);
}

QLineEdit *widgetOf(const TextBox &box)
{
    return box.native().widget;
}

QList<QRectF> cutMarks(const TextBox &box)
{
    return box.native().widget->m_marks;
}

void drawOutOfDate(TextBox &box)
{
    // Only the roles set here are the box's own; the rest follow the window,
    // so an empty palette gives the box back its ordinary colours.
    // Selected, as after Enter, it is drawn as a disabled box's selection:
    // the ordinary selection colours would make the old amount look live.
    QLineEdit *widget = box.native().widget;
    QPalette palette;
    if (box.state().outOfDate) {
        const QPalette ordinary = widget->palette();
        for (const auto role : {QPalette::Text, QPalette::Highlight, QPalette::HighlightedText}) {
            const QColor grey = ordinary.color(QPalette::Disabled, role);
            palette.setColor(QPalette::Active, role, grey);
            palette.setColor(QPalette::Inactive, role, grey);
        }
    }
    widget->setPalette(palette);
}

void showExplanation(TextBox &box, const std::vector<std::u16string> &lines)
{
    QStringList shown;
    for (const std::u16string &line : lines)
        shown << qString(line);
    QLineEdit *widget = box.native().widget;
    widget->setAccessibleDescription(shown.join(QStringLiteral("; ")));
    widget->setToolTip(shown.join(u'\n'));
}

void Beep()
{
    QApplication::beep();
}

} // namespace Monvert::Forms
