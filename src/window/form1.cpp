// SPDX-License-Identifier: MIT
#include "window/form1.h"

#include "forms/placement.h"
#include "rules/amount.h"

#include <algorithm>

namespace Monvert {

namespace {

using Forms::Twips;

// Where the controls go, in twips.
constexpr int RowHeight = 300;
constexpr Twips Label3Place{0, 0, 375, RowHeight};
constexpr Twips Label1Place{480, 0, 390, RowHeight};
constexpr Twips Text1Place{840, 0, 1695, RowHeight};
constexpr Twips Label2Place{2640, 0, 465, RowHeight};
constexpr Twips Text2Place{3120, 0, 1575, RowHeight};

constexpr Forms::Color WindowBackground{3, 0, 67};
constexpr Forms::Color DarkLabel{0, 0, 192};
constexpr Forms::Color LightLabel{192, 255, 255};
constexpr Forms::Color White{255, 255, 255};

} // namespace

Form1::Form1(NumberFormat format)
    : Label3(*this, u"Label3", u"Eu")
    , Label1(*this, u"Label1", u"Lire")
    , Text1(*this, u"Text1")
    , Label2(*this, u"Label2", u"Euro")
    , Text2(*this, u"Text2")
    , converter(Text1, Text2, clipboard, std::move(format))
{
    SetCaption(u"Monvert");
    SetBackColor(WindowBackground);
    Label3.SetBackColor(DarkLabel);
    Label3.SetForeColor(White);
    Label1.SetBackColor(LightLabel);
    Label2.SetBackColor(LightLabel);

    SetClientArea(DesignedClientArea);
    Label3.Move(Label3Place);
    Label1.Move(Label1Place);
    Text1.Move(Text1Place);
    Label2.Move(Label2Place);
    Text2.Move(Text2Place);
    Text1.SetMaxLength(int(MaxTextLength));
    Text2.SetMaxLength(int(MaxTextLength));
    // The Lire box covers the right-hand edge of its label; that strip is the box's.
    Text1.BringToFront();

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
    // Another start or a shortcut converts the clipboard as a click on that
    // currency's label does, from whatever application the user is in.
    ConvertClipboard = [this](Forms::ClipboardCommand command) {
        return command == Forms::ClipboardCommand::FromLire ? convertClipboard(True, Text1, Text2)
                                                            : convertClipboard(False, Text2, Text1);
    };

    // The boxes are known by their labels' captions, to a screen reader too.
    Label1.Names(Text1);
    Label2.Names(Text2);
    Text1.SetFocus();
}

void Form1::Form_Load()
{
    Forms::SetWindowPos(hWnd(), Forms::AboveAll, 0, 0, PlacedWidth, PlacedHeight,
                        Forms::PlaceAndShow | Forms::PlaceWithoutActivating);
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

Forms::ClipboardOutcome Form1::convertClipboard(std::int16_t editingLire, Forms::TextBox &source,
                                                Forms::TextBox &target)
{
    // The direction first, so the change raised by the set converts this way.
    converter.EditingLire = editingLire;
    {
        // Only the start of a huge clipboard can fit the box; the rest is let
        // go of before the box lays its text out.
        const std::u16string text = clipboard.GetText();
        const std::u16string_view trimmed = trimBlanks(text);
        source.SetText(trimmed.substr(0, MaxTextLength));
    }
    source.SetSelLength(int(source.Text().size()));
    // Nothing converted: whatever the user copied, a picture included, stays
    // where it is rather than being replaced by the other box's old amount,
    // and the box that did not follow says why.
    if (!converter.lastChangeConverted()) {
        target.ShowToolTip();
        std::u16string read = source.Text();
        return {read.empty() ? Forms::ClipboardOutcome::NoText
                             : Forms::ClipboardOutcome::NotAnAmount,
                std::move(read)};
    }
    if (!clipboard.SetText(target.Text())) {
        Forms::Beep();
        return {Forms::ClipboardOutcome::NotWritten, {}};
    }
    return {Forms::ClipboardOutcome::Converted, {}};
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
