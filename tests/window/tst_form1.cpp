// SPDX-License-Identifier: MIT
#include "driving.h"
#include "number_format.h"
#include "window/form1.h"

#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMimeData>
#include <QMouseEvent>
#include <QTest>
#include <QThread>
#include <QToolTip>

#include <cmath>

using namespace Monvert;

namespace {

QClipboard *clipboard()
{
    return QGuiApplication::clipboard();
}

// Text from an owner that takes 600 ms to hand it over, as a remote one may.
class SlowText final : public QMimeData
{
public:
    SlowText() { setText(QStringLiteral("1000")); }

protected:
    QVariant retrieveData(const QString &format, QMetaType type) const override
    {
        QThread::msleep(600);
        return QMimeData::retrieveData(format, type);
    }
};

Forms::Label &labelNamed(Form1 &form, const QString &name)
{
    return name == QLatin1StringView("Label1") ? form.Label1
        : name == QLatin1StringView("Label2")  ? form.Label2
                                               : form.Label3;
}

} // namespace

class tst_Form1 : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void controlsLaidOutFromTwips_data();
    void controlsLaidOutFromTwips();
    void lireBoxCoversTheEdgeOfItsLabel();
    void looksAtStart();
    void placedAsAToolWindowOnTop();
    void focusMovesBetweenTheBoxesOnly();
    void clickConvertsTheClipboard_data();
    void clickConvertsTheClipboard();
    void clickThatConvertsNothingKeepsTheClipboard_data();
    void clickThatConvertsNothingKeepsTheClipboard();
    void selectedBoxOutOfDateIsDrawnGrey();
    void secondClickOnTheSameLabelChangesNothing();
    void digitAfterAClickReplacesAndConverts();
    void pressShowsNormalWeightOnThatLabelOnly_data();
    void pressShowsNormalWeightOnThatLabelOnly();
    void doubleClickOnEuFoldsAndUnfolds();
    void foldTestIsStrictAboveFiveHundred_data();
    void foldTestIsStrictAboveFiveHundred();
    void doubleClickOnOtherLabelsConvertsOnceAndKeepsWidth_data();
    void doubleClickOnOtherLabelsConvertsOnceAndKeepsWidth();
    void foldedWindowTakesNoKeys_data();
    void foldedWindowTakesNoKeys();
    void longAmountsShowWholeOrMarked_data();
    void longAmountsShowWholeOrMarked();
    void clickQueuedBehindASlowPasteIsDropped();
};

void tst_Form1::init()
{
    clipboard()->clear();
}

void tst_Form1::controlsLaidOutFromTwips_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("pixels");
    // At 96 dpi, 15 twips to the pixel.
    QTest::newRow("Eu") << QStringLiteral("Label3") << QRect(0, 0, 25, 20);
    QTest::newRow("Lire label") << QStringLiteral("Label1") << QRect(32, 0, 26, 20);
    QTest::newRow("Lire box") << QStringLiteral("Text1") << QRect(56, 0, 113, 20);
    QTest::newRow("Euro label") << QStringLiteral("Label2") << QRect(176, 0, 31, 20);
    QTest::newRow("Euro box") << QStringLiteral("Text2") << QRect(208, 0, 105, 20);
}

void tst_Form1::controlsLaidOutFromTwips()
{
    QFETCH(QString, name);
    QFETCH(QRect, pixels);
    Form1 form(NumberFormat{});
    QCOMPARE(Forms::widgetOf(form)->findChild<QWidget *>(name)->geometry(), pixels);
}

void tst_Form1::lireBoxCoversTheEdgeOfItsLabel()
{
    auto form = Driving::italianForm();
    QCOMPARE(Forms::widgetOf(*form)->childAt(57, 5), Forms::widgetOf(form->Text1));
    QCOMPARE(Forms::widgetOf(*form)->childAt(55, 5), Forms::widgetOf(form->Label1));
}

void tst_Form1::looksAtStart()
{
    auto form = Driving::italianForm();
    QCOMPARE(Forms::widgetOf(*form)->windowTitle(), QStringLiteral("Monvert"));
    QCOMPARE(Forms::widgetOf(*form)->palette().color(QPalette::Window), QColor(3, 0, 67));
    QCOMPARE(Forms::widgetOf(form->Label3)->palette().color(QPalette::Window), QColor(0, 0, 192));
    QCOMPARE(Forms::widgetOf(form->Label3)->palette().color(QPalette::WindowText),
             QColor(Qt::white));
    QCOMPARE(Forms::widgetOf(form->Label1)->palette().color(QPalette::Window),
             QColor(192, 255, 255));
    for (Forms::Label *label : {&form->Label3, &form->Label1, &form->Label2}) {
        QVERIFY(label->FontBold());
        QCOMPARE(Forms::widgetOf(*label)->font().pointSizeF(), 8.25);
        QCOMPARE(Forms::widgetOf(*label)->alignment(), Qt::AlignCenter);
    }
    QCOMPARE(Forms::widgetOf(form->Label3)->text(), QStringLiteral("Eu"));
    QCOMPARE(Forms::widgetOf(form->Label1)->text(), QStringLiteral("Lire"));
    QCOMPARE(Forms::widgetOf(form->Label2)->text(), QStringLiteral("Euro"));
    QVERIFY(Driving::text(form->Text1).isEmpty() && Driving::text(form->Text2).isEmpty());
    QCOMPARE(Forms::widgetOf(*form)->windowIcon().availableSizes(),
             (QList<QSize>{QSize(32, 32), QSize(16, 16)}));
}

void tst_Form1::placedAsAToolWindowOnTop()
{
    auto form = Driving::italianForm();
    QVERIFY(Forms::widgetOf(*form)->isVisible());
    QVERIFY(Forms::widgetOf(*form)->windowFlags() & Qt::WindowStaysOnTopHint);
    QCOMPARE(Forms::widgetOf(*form)->windowType(), Qt::Tool);
    QVERIFY(Forms::widgetOf(*form)->testAttribute(Qt::WA_ShowWithoutActivating));
    // 311 x 42 less the reference frame, whatever frame the platform draws.
    QCOMPARE(Forms::widgetOf(*form)->frameGeometry().topLeft(), QPoint(0, 0));
    QCOMPARE(Forms::widgetOf(*form)->size(), QSize(305, 20));
    QCOMPARE(Forms::widgetOf(*form)->minimumSize(), Forms::widgetOf(*form)->maximumSize());
    // Brought back by another start, an unfolded window keeps its width.
    form->BringBack();
    QCOMPARE(Forms::widgetOf(*form)->size(), QSize(305, 20));
}

void tst_Form1::focusMovesBetweenTheBoxesOnly()
{
    auto form = Driving::italianForm();
    QCOMPARE(Forms::widgetOf(*form)->focusWidget(), Forms::widgetOf(form->Text1));
    QTest::keyClick(Forms::widgetOf(form->Text1), Qt::Key_Tab);
    QCOMPARE(Forms::widgetOf(*form)->focusWidget(), Forms::widgetOf(form->Text2));
    QTest::keyClick(Forms::widgetOf(form->Text2), Qt::Key_Tab);
    QCOMPARE(Forms::widgetOf(*form)->focusWidget(), Forms::widgetOf(form->Text1));
    for (Forms::Label *label : {&form->Label3, &form->Label1, &form->Label2})
        QCOMPARE(Forms::widgetOf(*label)->focusPolicy(), Qt::NoFocus);
}

void tst_Form1::clickConvertsTheClipboard_data()
{
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("copied");
    QTest::addColumn<QString>("lire");
    QTest::addColumn<QString>("euro");
    QTest::addColumn<QString>("result");

    QTest::newRow("Lire") << QStringLiteral("Label1") << QStringLiteral("1000")
                          << QStringLiteral("1000") << QStringLiteral("Euro 0,52")
                          << QStringLiteral("Euro 0,52");
    QTest::newRow("Eu") << QStringLiteral("Label3") << QStringLiteral("1000")
                        << QStringLiteral("1000") << QStringLiteral("Euro 0,52")
                        << QStringLiteral("Euro 0,52");
    QTest::newRow("Euro") << QStringLiteral("Label2") << QStringLiteral("10")
                          << QStringLiteral("L. 19.363") << QStringLiteral("10")
                          << QStringLiteral("L. 19.363");
    QTest::newRow("Euro display text")
        << QStringLiteral("Label2") << QStringLiteral("Euro 516,46")
        << QStringLiteral("L. 1.000.006") << QStringLiteral("Euro 516,46")
        << QStringLiteral("L. 1.000.006");
    QTest::newRow("Euro, the sixth decimal decides the lira")
        << QStringLiteral("Label2") << QStringLiteral("1000,001849")
        << QStringLiteral("L. 1.936.274") << QStringLiteral("1000,001849")
        << QStringLiteral("L. 1.936.274");
    QTest::newRow("Lire, the fifth decimal decides the cent")
        << QStringLiteral("Label1") << QStringLiteral("9,68135") << QStringLiteral("9,68135")
        << QStringLiteral("Euro 0,01") << QStringLiteral("Euro 0,01");
    QTest::newRow("a mebibyte of blanks around an amount")
        << QStringLiteral("Label1") << QString(1 << 20, u' ') + QStringLiteral("1000\n")
        << QStringLiteral("1000") << QStringLiteral("Euro 0,52") << QStringLiteral("Euro 0,52");
    QTest::newRow("spreadsheet cell")
        << QStringLiteral("Label1") << QStringLiteral("\u00A01.000.000\r\n")
        << QStringLiteral("1.000.000") << QStringLiteral("Euro 516,46")
        << QStringLiteral("Euro 516,46");
}

void tst_Form1::clickConvertsTheClipboard()
{
    QFETCH(QString, label);
    QFETCH(QString, copied);
    QFETCH(QString, lire);
    QFETCH(QString, euro);
    QFETCH(QString, result);

    auto form = Driving::italianForm();
    clipboard()->setText(copied);
    QTest::mouseClick(Forms::widgetOf(labelNamed(*form, label)), Qt::LeftButton);

    QCOMPARE(Driving::text(form->Text1), lire);
    QCOMPARE(Driving::text(form->Text2), euro);
    QCOMPARE(clipboard()->text(), result);
    Forms::TextBox &source = label == QLatin1StringView("Label2") ? form->Text2 : form->Text1;
    QCOMPARE(Driving::selText(source), Driving::text(source));
    QCOMPARE(form->converter.EditingLire, label == QLatin1StringView("Label2") ? False : True);
}

void tst_Form1::clickThatConvertsNothingKeepsTheClipboard_data()
{
    QTest::addColumn<QString>("copied");
    QTest::addColumn<QString>("lire");
    QTest::newRow("no text") << QString() << QString();
    QTest::newRow("a picture") << QStringLiteral("picture") << QString();
    QTest::newRow("a word") << QStringLiteral("abc") << QStringLiteral("abc");
    // The box holds the start of it, which alone would read as an amount.
    const QString cut = QStringLiteral("1,") + QString(int(MaxTextLength), u'0');
    QTest::newRow("longer than a box holds")
        << cut + QStringLiteral("abc") << cut.left(int(MaxTextLength));
    QTest::newRow("sixteen mebibytes of digits")
        << QString(16 << 20, u'7') << QString(int(MaxTextLength), u'7');
}

void tst_Form1::clickThatConvertsNothingKeepsTheClipboard()
{
    QFETCH(QString, copied);
    QFETCH(QString, lire);
    auto form = Driving::italianForm();
    QTest::keyClicks(Forms::widgetOf(form->Text2), QStringLiteral("7"));
    QCOMPARE(Driving::text(form->Text1), QStringLiteral("L. 13.554"));

    QImage picture(4, 4, QImage::Format_RGB32);
    picture.fill(Qt::red);
    const bool isPicture = copied == QLatin1StringView("picture");
    if (isPicture)
        clipboard()->setImage(picture);
    else if (!copied.isEmpty())
        clipboard()->setText(copied);
    QTest::mouseClick(Forms::widgetOf(form->Label1), Qt::LeftButton);

    QCOMPARE(Driving::text(form->Text1), lire);
    QCOMPARE(Driving::selText(form->Text1), lire);
    QCOMPARE(Driving::text(form->Text2), QStringLiteral("7"));
    QVERIFY(form->Text2.OutOfDate());
    // Never silent: the grey box says at once which text was not read.
    QTRY_VERIFY(QToolTip::isVisible());
    QVERIFY(QToolTip::text().contains(lire.left(20)));
    QToolTip::hideText();
    if (isPicture) {
        QVERIFY(clipboard()->mimeData()->hasImage());
        QCOMPARE(clipboard()->image(), picture);
    } else {
        QCOMPARE(clipboard()->text(), copied);
    }
}

// After Enter the Euro box is selected; an amount a click then could not
// follow must not be drawn in the colours of a live selection.
void tst_Form1::selectedBoxOutOfDateIsDrawnGrey()
{
    auto form = Driving::italianForm();
    QLineEdit *euro = Forms::widgetOf(form->Text2);
    QTest::keyClicks(Forms::widgetOf(form->Text1), QStringLiteral("1000"));
    QTest::keyClick(Forms::widgetOf(form->Text1), Qt::Key_Return);
    QCOMPARE(Driving::selText(form->Text2), QStringLiteral("Euro 0,52"));
    const QColor live = euro->palette().color(QPalette::Inactive, QPalette::Highlight);
    const auto drawnIn = [euro](const QColor &colour) {
        const QImage drawn = euro->grab().toImage();
        for (int y = 0; y < drawn.height(); ++y) {
            for (int x = 0; x < drawn.width(); ++x) {
                if (drawn.pixelColor(x, y) == colour)
                    return true;
            }
        }
        return false;
    };
    QVERIFY(drawnIn(live));

    clipboard()->setText(QStringLiteral("L. 2,000.00"));
    QTest::mouseClick(Forms::widgetOf(form->Label1), Qt::LeftButton);
    QVERIFY(form->Text2.OutOfDate());
    QCOMPARE(Driving::selText(form->Text2), QStringLiteral("Euro 0,52"));
    QVERIFY(!drawnIn(live));
}

void tst_Form1::secondClickOnTheSameLabelChangesNothing()
{
    auto form = Driving::italianForm();
    clipboard()->setText(QStringLiteral("1000"));
    QTest::mouseClick(Forms::widgetOf(form->Label1), Qt::LeftButton);
    QTest::mouseClick(Forms::widgetOf(form->Label1), Qt::LeftButton);
    QCOMPARE(Driving::text(form->Text1), QStringLiteral("Euro 0,52"));
    QCOMPARE(Driving::text(form->Text2), QStringLiteral("Euro 0,52"));
    QCOMPARE(clipboard()->text(), QStringLiteral("Euro 0,52"));
}

void tst_Form1::digitAfterAClickReplacesAndConverts()
{
    auto form = Driving::italianForm();
    Forms::widgetOf(form->Text1)->setFocus();
    clipboard()->setText(QStringLiteral("1000"));
    QTest::mouseClick(Forms::widgetOf(form->Label1), Qt::LeftButton);
    QTest::keyClicks(Forms::widgetOf(form->Text1), QStringLiteral("2"));
    QCOMPARE(Driving::text(form->Text1), QStringLiteral("2"));
    QCOMPARE(Driving::text(form->Text2), QStringLiteral("Euro 0,00"));
}

void tst_Form1::pressShowsNormalWeightOnThatLabelOnly_data()
{
    QTest::addColumn<QString>("label");
    QTest::addColumn<int>("button");
    QTest::newRow("Eu, left") << QStringLiteral("Label3") << int(Qt::LeftButton);
    QTest::newRow("Lire, right") << QStringLiteral("Label1") << int(Qt::RightButton);
    QTest::newRow("Euro, middle") << QStringLiteral("Label2") << int(Qt::MiddleButton);
}

void tst_Form1::pressShowsNormalWeightOnThatLabelOnly()
{
    QFETCH(QString, label);
    QFETCH(int, button);
    auto form = Driving::italianForm();
    Forms::Label &pressed = labelNamed(*form, label);

    QTest::mousePress(Forms::widgetOf(pressed), Qt::MouseButton(button));
    for (Forms::Label *each : {&form->Label3, &form->Label1, &form->Label2})
        QCOMPARE(each->FontBold(), each != &pressed);
    QTest::mouseRelease(Forms::widgetOf(pressed), Qt::MouseButton(button));
    QVERIFY(pressed.FontBold());
}

void tst_Form1::doubleClickOnEuFoldsAndUnfolds()
{
    auto form = Driving::italianForm();
    clipboard()->setText(QStringLiteral("1000"));
    Driving::doubleClick(Forms::widgetOf(form->Label3));
    QCOMPARE(form->Width(), FoldedWidth);
    // 470 twips at 15 to the pixel, less the reference frame's six: the "Eu" label.
    QCOMPARE(Forms::widgetOf(*form)->width(), 25);
    QCOMPARE(Forms::widgetOf(*form)->frameGeometry().left(), 0);
    // The click before the double-click converted the clipboard once.
    QCOMPARE(clipboard()->text(), QStringLiteral("Euro 0,52"));
    QVERIFY(form->Label3.FontBold());

    Driving::doubleClick(Forms::widgetOf(form->Label3));
    QCOMPARE(form->Width(), UnfoldedWidth);
    QCOMPARE(Forms::widgetOf(*form)->width(), 304);
}

void tst_Form1::foldTestIsStrictAboveFiveHundred_data()
{
    QTest::addColumn<float>("width");
    QTest::addColumn<float>("after");
    QTest::newRow("500 unfolds") << 500.0f << UnfoldedWidth;
    QTest::newRow("501 folds") << 501.0f << FoldedWidth;
    QTest::newRow("470 unfolds") << 470.0f << UnfoldedWidth;
    QTest::newRow("4650 folds") << 4650.0f << FoldedWidth;
}

void tst_Form1::foldTestIsStrictAboveFiveHundred()
{
    QFETCH(float, width);
    QFETCH(float, after);
    auto form = Driving::italianForm();
    form->SetWidth(width);
    form->Label3_DblClick();
    QCOMPARE(form->Width(), after);
}

void tst_Form1::doubleClickOnOtherLabelsConvertsOnceAndKeepsWidth_data()
{
    QTest::addColumn<QString>("label");
    QTest::newRow("Lire") << QStringLiteral("Label1");
    QTest::newRow("Euro") << QStringLiteral("Label2");
}

void tst_Form1::doubleClickOnOtherLabelsConvertsOnceAndKeepsWidth()
{
    QFETCH(QString, label);
    auto form = Driving::italianForm();
    clipboard()->setText(QStringLiteral("1000"));
    const QRect before = Forms::widgetOf(*form)->frameGeometry();
    Driving::doubleClick(Forms::widgetOf(labelNamed(*form, label)));
    QCOMPARE(Forms::widgetOf(*form)->frameGeometry(), before);
    QCOMPARE(form->converter.conversions(), quint64(1));
}

void tst_Form1::foldedWindowTakesNoKeys_data()
{
    QTest::addColumn<QString>("typedIn");
    QTest::addColumn<QString>("focused"); // after Enter there, the box that has the focus
    QTest::newRow("Enter in the Lire box") << QStringLiteral("Text1") << QStringLiteral("Text2");
    QTest::newRow("Enter in the Euro box") << QStringLiteral("Text2") << QStringLiteral("Text1");
}

void tst_Form1::foldedWindowTakesNoKeys()
{
    QFETCH(QString, typedIn);
    QFETCH(QString, focused);
    auto form = Driving::italianForm();
    QWidget *window = Forms::widgetOf(*form);
    // Only in an active window does Qt move the focus on from a box it hides.
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
    auto *typed = window->findChild<QLineEdit *>(typedIn);
    typed->setFocus();
    QTest::keyClicks(typed, QStringLiteral("1000"));
    QTest::keyClick(typed, Qt::Key_Return);
    QCOMPARE(window->focusWidget()->objectName(), focused);
    const QString boxes[] = {Driving::text(form->Text1), Driving::text(form->Text2)};
    clipboard()->setText(QStringLiteral("x"));
    form->Label3_DblClick();

    QWidget *receiver = QApplication::focusWidget() ? QApplication::focusWidget() : window;
    QVERIFY(receiver->isVisible());
    QTest::keyClicks(receiver, QStringLiteral("5"));
    QTest::keyClick(receiver, Qt::Key_Return);
    QCOMPARE(clipboard()->text(), QStringLiteral("x"));
    QCOMPARE(Driving::text(form->Text1), boxes[0]);
    QCOMPARE(Driving::text(form->Text2), boxes[1]);

    form->Label3_DblClick();
    QCOMPARE(window->focusWidget()->objectName(), focused);
}

void tst_Form1::longAmountsShowWholeOrMarked_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("atStart"); // the caret at the start, as after a conversion
    QTest::addColumn<bool>("whole");
    // What the window did around the set: "narrowed" after it, "unfolded"
    // after a set made while it was folded, "drawn, then narrowed", or
    // "replacing" another long amount drawn before it.
    QTest::addColumn<QString>("window");
    const QString lire = QStringLiteral("Text1");
    const QString euro = QStringLiteral("Text2");
    QTest::newRow("a short amount")
        << euro << QStringLiteral("Euro 5,16") << true << true << QString();
    QTest::newRow("a thousand million euro in lire")
        << lire << QStringLiteral("L. 1.936.270.000.000") << false << true << QString();
    QTest::newRow("a thousand million euro, under the window's edge")
        << euro << QStringLiteral("Euro 1.000.000.000,00") << false << true << QString();
    QTest::newRow("past the smallest size")
        << lire << QStringLiteral("L. 19.362.700.000.000.000.000") << false << false << QString();
    QTest::newRow("the largest euro amount in lire, from its start")
        << lire << QStringLiteral("L. 1.785.893.857.380.078.551") << true << false << QString();
    QTest::newRow("the largest euro amount in lire, from its end")
        << lire << QStringLiteral("L. 1.785.893.857.380.078.551") << false << false << QString();
    QTest::newRow("a long typed text")
        << lire << QStringLiteral("1234567890123456789012345678") << false << false << QString();
    // Fits the whole box, but not the part of it the window shows.
    QTest::newRow("one digit more, under the window's edge")
        << euro << QStringLiteral("Euro 10.000.000.000,00") << false << false << QString();
    QTest::newRow("past the window's edge, from the start")
        << euro << QStringLiteral("Euro 922.337.203.685.477,58") << true << false << QString();
    QTest::newRow("past the window's edge, from the end")
        << euro << QStringLiteral("Euro 922.337.203.685.477,58") << false << false << QString();
    QTest::newRow("a thousand million euro, the window narrowed after")
        << euro << QStringLiteral("Euro 1.000.000.000,00") << false << false
        << QStringLiteral("narrowed");
    QTest::newRow("set while folded, the window unfolded after")
        << lire << QStringLiteral("L. 1.936.270") << true << true << QStringLiteral("unfolded");
    // Marks drawn once are not kept past a change of the text or of the room.
    // A full stop is half a digit wide: the same length of digits alone
    // has its characters' edges elsewhere.
    QTest::newRow("a long amount drawn, then as many digits without separators")
        << lire << QStringLiteral("L. 17858938573800785510000000") << true << false
        << QStringLiteral("replacing L. 1.785.893.857.380.078.551");
    QTest::newRow("a long amount drawn, then the window narrowed")
        << euro << QStringLiteral("Euro 922.337.203.685.477,58") << true << false
        << QStringLiteral("drawn, then narrowed");
}

void tst_Form1::longAmountsShowWholeOrMarked()
{
    QFETCH(QString, box);
    QFETCH(QString, text);
    QFETCH(bool, atStart);
    QFETCH(bool, whole);
    QFETCH(QString, window);
    auto form = Driving::italianForm();
    auto *edit = Forms::widgetOf(*form)->findChild<QLineEdit *>(box);
    if (window == u"unfolded")
        form->SetWidth(FoldedWidth);
    if (window.startsWith(u"replacing ")) {
        edit->setText(window.mid(10));
        edit->setCursorPosition(0);
        edit->grab();
    }
    edit->setText(text);
    if (atStart)
        edit->setCursorPosition(0);
    if (window == u"unfolded")
        form->SetWidth(UnfoldedWidth);
    if (window == u"drawn, then narrowed")
        edit->grab();
    if (window.endsWith(u"narrowed"))
        form->SetWidth(4200);

    // Drawn smaller, but no smaller than two thirds of the window's size.
    QVERIFY(edit->font().pointSizeF()
            >= Forms::widgetOf(*form)->font().pointSizeF() * 2 / 3 - 0.01);
    // What the window shows of the box, less the frame and margin at its left.
    const int seen = std::min(edit->width(), Forms::widgetOf(*form)->width() - edit->x()) - 4;
    QCOMPARE(QFontMetricsF(edit->font()).horizontalAdvance(text) <= seen, whole);
    QCOMPARE(edit->toolTip(), whole ? QString() : text);
    QCOMPARE(edit->accessibleDescription().contains(text), !whole);

    // An ellipsis exactly where text is out of sight, and beside it whole
    // characters only: the same text drawn by a plain box in the same place
    // has no character across a mark's inner edge.
    edit->grab(); // as drawn
    const QList<QRectF> marks = Forms::cutMarks(box == u"Text1" ? form->Text1 : form->Text2);
    QCOMPARE(marks.isEmpty(), whole);
    QLineEdit plain(edit->parentWidget());
    plain.setGeometry(edit->geometry());
    plain.setFont(edit->font());
    plain.setText(text);
    plain.setCursorPosition(edit->cursorPosition());
    const QImage drawn = plain.grab().toImage();
    // The image is in device pixels, the marks in the box's own.
    const qreal ratio = drawn.devicePixelRatio();
    for (const QRectF &mark : marks) {
        const auto inked = [&](int column) {
            for (int y = int(std::ceil(mark.top() * ratio)); y < int(mark.bottom() * ratio); ++y) {
                if (qGray(drawn.pixel(column, y)) < 128)
                    return true;
            }
            return false;
        };
        // The columns on either side of the mark's inner edge.
        const bool left = mark.right() < edit->width() / 2;
        // A right-hand mark covers the edge the window shows, however it changed.
        QVERIFY(left || (mark.left() < seen && mark.right() > seen));
        const int inner = int(std::ceil((left ? mark.right() : mark.left()) * ratio - 0.5)) - 1;
        QVERIFY2(!(inked(inner) && inked(inner + 1)),
                 qPrintable(QStringLiteral("a character cut at column %1").arg(inner)));
    }
}

// A paste waits on the clipboard's owner as a label click does: the click
// the user made meanwhile, queued behind it, would wait again, and is dropped.
void tst_Form1::clickQueuedBehindASlowPasteIsDropped()
{
    auto form = Driving::italianForm();
    clipboard()->setMimeData(new SlowText);
    QKeyEvent paste(QEvent::KeyPress, Qt::Key_V, Qt::ControlModifier);
    paste.setTimestamp(5'000'000);
    QApplication::sendEvent(Forms::widgetOf(form->Text1), &paste);
    QCOMPARE(Driving::text(form->Text1), QStringLiteral("1000"));
    for (const auto type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        const QPoint at(3, 3);
        QMouseEvent event(type, at, Forms::widgetOf(form->Label2)->mapToGlobal(at), Qt::LeftButton,
                          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                          Qt::NoModifier);
        event.setTimestamp(5'000'100);
        QApplication::sendEvent(Forms::widgetOf(form->Label2), &event);
    }
    // A click that went through would have read 1000 as Euro and put L. 1.936.270 there.
    QCOMPARE(Driving::text(form->Text1), QStringLiteral("1000"));
}

QTEST_MAIN(tst_Form1)
#include "tst_form1.moc"
