// SPDX-License-Identifier: MIT
#include "window/form1.h"

#include "forms/placement.h"
#include "forms/qt/locale.h"
#include "forms/qt/units.h"

#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QTimer>

#include <algorithm>

namespace Monvert {

using namespace Qt::Literals::StringLiterals;

namespace {

// The window icon's images, compiled in. Loading them from files or resources
// would make Qt scan its icon-engine and image-format plugins first, a few
// milliseconds of every start before the window can appear.
#include "monvert-16.xpm"
#include "monvert.xpm"

// Geometry of the window description, in twips.
struct Twips
{
    int left, top, width, height;
};

constexpr Twips ClientArea{6045, 285, 5235, 690};
constexpr int RowHeight = 300;
constexpr Twips Label3Place{0, 0, 375, RowHeight};
constexpr Twips Label1Place{480, 0, 390, RowHeight};
constexpr Twips Text1Place{840, 0, 1695, RowHeight};
constexpr Twips Label2Place{2640, 0, 465, RowHeight};
constexpr Twips Text2Place{3120, 0, 1575, RowHeight};

constexpr QColor WindowBackground(3, 0, 67);
constexpr QColor DarkLabel(0, 0, 192);
constexpr QColor LightLabel(192, 255, 255);

QRect pixels(const Twips &place, const QWidget *widget)
{
    using Forms::twipsToPixels;
    return QRect(twipsToPixels(place.left, widget), twipsToPixels(place.top, widget),
                 twipsToPixels(place.width, widget), twipsToPixels(place.height, widget));
}

QFont labelFont()
{
    // The face the window was designed with, and any sans-serif where it is missing.
    QFont font(u"MS Sans Serif"_s);
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(8.25);
    font.setWeight(QFont::Bold);
    return font;
}

void styleLabel(Forms::Label &label, const QColor &background, const QColor *caption)
{
    QLabel *widget = label.widget();
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, background);
    if (caption)
        palette.setColor(QPalette::WindowText, *caption);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
    widget->setFont(labelFont());
    widget->setFrameStyle(QFrame::Box | QFrame::Plain);
    widget->setLineWidth(1);
    widget->setAlignment(Qt::AlignCenter);
    widget->setFocusPolicy(Qt::NoFocus);
}

} // namespace

Form1::Form1(NumberFormat format)
    : Forms::Form(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                  | Qt::WindowCloseButtonHint)
    , Label3(this, u"Label3"_s, u"Eu"_s)
    , Label1(this, u"Label1"_s, u"Lire"_s)
    , Text1(this, u"Text1"_s)
    , Label2(this, u"Label2"_s, u"Euro"_s)
    , Text2(this, u"Text2"_s)
    , converter(Text1, Text2, clipboard, std::move(format))
{
    setWindowTitle(u"Monvert"_s);
    QIcon icon;
    icon.addPixmap(QPixmap(monvert));
    icon.addPixmap(QPixmap(monvert_16));
    setWindowIcon(icon);
    // The larger images are PNG, which Qt reads only after looking through its
    // image plugins; that waits until the window is up. Qt hands the window
    // system no image above 128 pixels.
    QTimer::singleShot(0, this, [this] {
        QIcon larger = windowIcon();
        for (const int size : {48, 64, 128})
            larger.addFile(u":/icons/org.monvert.Monvert-%1.png"_s.arg(size), QSize(size, size));
        setWindowIcon(larger);
    });
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, WindowBackground);
    setPalette(palette);
    setAutoFillBackground(true);

    const QColor white(Qt::white);
    styleLabel(Label3, DarkLabel, &white);
    styleLabel(Label1, LightLabel, nullptr);
    styleLabel(Label2, LightLabel, nullptr);
    layOut();

    Label1.Click = [this] { label1_Click(); };
    Label2.Click = [this] { Label2_Click(); };
    Label3.Click = [this] { Label3_Click(); };
    Label3.DblClick = [this] { Label3_DblClick(); };
    // The arguments of the mouse events are not looked at.
    Label1.MouseDown = [this](std::int16_t, std::int16_t, float, float) { Label1_MouseDown(); };
    Label1.MouseUp = [this](std::int16_t, std::int16_t, float, float) { Label1_MouseUp(); };
    Label2.MouseDown = [this](std::int16_t, std::int16_t, float, float) { Label2_MouseDown(); };
    Label2.MouseUp = [this](std::int16_t, std::int16_t, float, float) { Label2_MouseUp(); };
    Label3.MouseDown = [this](std::int16_t, std::int16_t, float, float) { Label3_MouseDown(); };
    Label3.MouseUp = [this](std::int16_t, std::int16_t, float, float) { Label3_MouseUp(); };

    // Brought back by another start: whole again, where the user left it.
    Reopened = [this] {
        if (Width() <= FoldThreshold)
            SetWidth(UnfoldedWidth);
    };

    // The boxes are known by their labels' captions, to a screen reader too.
    Label1.widget()->setBuddy(Text1.widget());
    Label2.widget()->setBuddy(Text2.widget());
    setTabOrder(Text1.widget(), Text2.widget());
    Text1.widget()->setFocus();
}

void Form1::layOut()
{
    const QRect client = pixels(ClientArea, this);
    move(client.topLeft());
    setFixedSize(client.size());
    Label3.widget()->setGeometry(pixels(Label3Place, this));
    Label1.widget()->setGeometry(pixels(Label1Place, this));
    Text1.widget()->setGeometry(pixels(Text1Place, this));
    Label2.widget()->setGeometry(pixels(Label2Place, this));
    Text2.widget()->setGeometry(pixels(Text2Place, this));
    // The Lire box covers the right-hand edge of its label; that strip is the box's.
    Text1.widget()->raise();
}

void Form1::Form_Load()
{
    Forms::SetWindowPos(hWnd(), Forms::HWND_TOPMOST, 0, 0, 311, 42,
                        Forms::SWP_SHOWWINDOW | Forms::SWP_NOACTIVATE);
}

void Form1::label1_Click()
{
    convertClipboard(True, Text1, Text2);
}

void Form1::Label3_Click()
{
    convertClipboard(True, Text1, Text2);
}

void Form1::Label2_Click()
{
    convertClipboard(False, Text2, Text1);
}

void Form1::convertClipboard(std::int16_t editingLire, Forms::TextBox &source,
                             Forms::TextBox &target)
{
    // The direction first, so the change raised by the set converts this way.
    converter.EditingLire = editingLire;
    const std::uint64_t before = converter.conversions();
    {
        // Only the start of a huge clipboard can fit the box; the rest is let
        // go of before the box lays its text out.
        const QString text = clipboard.GetText();
        const std::u16string_view trimmed = trimBlanks(utf16View(text));
        const std::size_t fits = std::min<std::size_t>(trimmed.size(), Forms::MaxLength);
        source.SetText(QString::fromUtf16(trimmed.data(), qsizetype(fits)));
    }
    source.SetSelLength(int(source.Text().size()));
    // Nothing converted: whatever the user copied, a picture included, stays
    // where it is rather than being replaced by the other box's old amount.
    if (converter.conversions() == before)
        return;
    clipboard.Clear();
    clipboard.SetText(target.Text());
}

// Press feedback: a label's caption is in normal weight while a button is held
// on it. The release always sets bold; it restores no remembered weight.
void Form1::Label1_MouseDown()
{
    Label1.SetFontBold(false);
}

void Form1::Label1_MouseUp()
{
    Label1.SetFontBold(true);
}

void Form1::Label2_MouseDown()
{
    Label2.SetFontBold(false);
}

void Form1::Label2_MouseUp()
{
    Label2.SetFontBold(true);
}

void Form1::Label3_MouseDown()
{
    Label3.SetFontBold(false);
}

void Form1::Label3_MouseUp()
{
    Label3.SetFontBold(true);
}

void Form1::Label3_DblClick()
{
    if (Width() > FoldThreshold)
        SetWidth(FoldedWidth);
    else
        SetWidth(UnfoldedWidth);
}

} // namespace Monvert
