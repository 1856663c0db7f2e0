// SPDX-License-Identifier: MIT
#include "forms/clipboard.h"
#include "forms/textbox.h"
#include "number_format.h"
#include "window/converter.h"

#include "driving.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QLocale>
#include <QTest>
#include <QToolTip>

#include <memory>

using namespace Monvert;

namespace {

// The two boxes and the converter on a real window, with Italian settings.
struct Boxes
{
    Forms::Form window;
    Forms::TextBox Text1{window, u"Text1"};
    Forms::TextBox Text2{window, u"Text2"};
    Forms::Clipboard clipboard;
    Converter converter;

    explicit Boxes(const QLocale &settings = QLocale(QLocale::Italian, QLocale::Italy))
        : converter(Text1, Text2, clipboard, numberFormatFor(settings))
    {
        Forms::widgetOf(Text1)->setGeometry(0, 0, 120, 20);
        Forms::widgetOf(Text2)->setGeometry(130, 0, 120, 20);
        Forms::widgetOf(window)->show();
        Forms::widgetOf(window)->activateWindow();
    }

    Forms::TextBox &box(bool lire) { return lire ? Text1 : Text2; }
};

QString clipboardText()
{
    return QGuiApplication::clipboard()->text();
}

} // namespace

class tst_Converter : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void typingConverts_data();
    void typingConverts();
    void firstKeystrokeConverts_data();
    void firstKeystrokeConverts();
    void editingTheLireDisplayConverts();
    void failedReadingLeavesTheOtherBox_data();
    void failedReadingLeavesTheOtherBox();
    void keypadDecimalTypesTheRegionalSeparator_data();
    void keypadDecimalTypesTheRegionalSeparator();
    void programSetNeverChangesDirection();
    void oneKeystrokeOneConversion();
    void keyReleaseWithoutEditSetsDirection();
    void enterCopiesTheOtherBox_data();
    void enterCopiesTheOtherBox();
    void enterCopiesTheWholeTextWhereverTheCaret();
    void enterWithEmptyOtherBoxKeepsClipboard_data();
    void enterWithEmptyOtherBoxKeepsClipboard();
    void amountsFollowTheLastConversion();
};

void tst_Converter::typingConverts_data()
{
    QTest::addColumn<bool>("intoLire");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("other");

    QTest::newRow("thousand lire") << true << QStringLiteral("1000") << QStringLiteral("Euro 0,52");
    QTest::newRow("a million lire")
        << true << QStringLiteral("1000000") << QStringLiteral("Euro 516,46");
    QTest::newRow("five lire") << true << QStringLiteral("5") << QStringLiteral("Euro 0,00");
    QTest::newRow("ten euro") << false << QStringLiteral("10") << QStringLiteral("L. 19.363");
    QTest::newRow("minus five euro")
        << false << QStringLiteral("-5") << QStringLiteral("L. -9.681");
    QTest::newRow("euro display text")
        << false << QStringLiteral("Euro 100") << QStringLiteral("L. 193.627");
    QTest::newRow("fifty euro half rounds up")
        << false << QStringLiteral("50") << QStringLiteral("L. 96.814");
    QTest::newRow("capital E without blank") << false << QStringLiteral("E100") << QString();
    QTest::newRow("a word that starts with E")
        << false << QStringLiteral("Esercizio 2024") << QString();
    QTest::newRow("the euro word after")
        << false << QStringLiteral("516,46 euro") << QStringLiteral("L. 1.000.006");
    QTest::newRow("the lira sign of Italian keyboards")
        << true << QStringLiteral("\u00A3 10.000") << QStringLiteral("Euro 5,16");
    QTest::newRow("every decimal counts")
        << false << QStringLiteral("1000,000258") << QStringLiteral("L. 1.936.270");
    // Four decimals give L. 1.936.273 whether the fifth rounds them or not.
    QTest::newRow("the sixth decimal decides the lira")
        << false << QStringLiteral("1000,001849") << QStringLiteral("L. 1.936.274");
    // Exactly half a cent: four decimals alone give Euro 0,00.
    QTest::newRow("the fifth decimal decides the cent")
        << true << QStringLiteral("9,68135") << QStringLiteral("Euro 0,01");
    QTest::newRow("small e is no prefix") << false << QStringLiteral("e 100") << QString();
    QTest::newRow("Euro and a blank only") << false << QStringLiteral("Euro ") << QString();
    QTest::newRow("lone blank") << false << QStringLiteral(" ") << QString();
    QTest::newRow("lire display text in the euro box")
        << false << QStringLiteral("L. 19.363") << QString();
    QTest::newRow("euro mark in the lire box") << true << QStringLiteral("EUR 1000") << QString();
    QTest::newRow("exact where the double rounds twice")
        << false << QStringLiteral("516476,6311") << QStringLiteral("L. 1.000.038.206");
    QTest::newRow("exact cents where the double rounds twice")
        << true << QStringLiteral("19362700009,6813") << QStringLiteral("Euro 10.000.000,00");
}

void tst_Converter::typingConverts()
{
    QFETCH(bool, intoLire);
    QFETCH(QString, typed);
    QFETCH(QString, other);

    Boxes boxes;
    QTest::keyClicks(Forms::widgetOf(boxes.box(intoLire)), typed);
    QCOMPARE(Driving::text(boxes.box(!intoLire)), other);
}

void tst_Converter::firstKeystrokeConverts_data()
{
    QTest::addColumn<bool>("intoLire");
    QTest::newRow("lire box at start") << true;
    QTest::newRow("euro box after a key in the lire box") << false;
}

void tst_Converter::firstKeystrokeConverts()
{
    QFETCH(bool, intoLire);
    Boxes boxes;
    // Leave the other box as the source, as a key release there would.
    QTest::keyClick(Forms::widgetOf(boxes.box(!intoLire)), Qt::Key_Left);
    QCOMPARE(boxes.converter.EditingLire, intoLire ? False : True);

    QTest::keyClick(Forms::widgetOf(boxes.box(intoLire)), '9');
    QCOMPARE(Driving::text(boxes.box(!intoLire)),
             intoLire ? QStringLiteral("Euro 0,00") : QStringLiteral("L. 17.426"));
}

void tst_Converter::editingTheLireDisplayConverts()
{
    Boxes boxes;
    QTest::keyClicks(Forms::widgetOf(boxes.Text2), QStringLiteral("5"));
    QCOMPARE(Driving::text(boxes.Text1), QStringLiteral("L. 9.681"));

    Forms::widgetOf(boxes.Text1)->setFocus();
    Forms::widgetOf(boxes.Text1)->setCursorPosition(3);
    QTest::keyClick(Forms::widgetOf(boxes.Text1), '1');
    QCOMPARE(Driving::text(boxes.Text1), QStringLiteral("L. 19.681"));
    QCOMPARE(Driving::text(boxes.Text2), QStringLiteral("Euro 10,16"));
}

void tst_Converter::failedReadingLeavesTheOtherBox_data()
{
    QTest::addColumn<bool>("intoLire");
    QTest::addColumn<QString>("slip");
    QTest::newRow("clearing the lire box") << true << QString();
    QTest::newRow("clearing the euro box") << false << QString();
    QTest::newRow("a full stop in the euro box") << false << QStringLiteral("1000.5");
    QTest::newRow("past the range in the lire box") << true << QStringLiteral("1000000000000000");
}

void tst_Converter::failedReadingLeavesTheOtherBox()
{
    QFETCH(bool, intoLire);
    QFETCH(QString, slip);
    Boxes boxes;
    Forms::TextBox &source = boxes.box(intoLire);
    Forms::TextBox &other = boxes.box(!intoLire);
    QTest::keyClicks(Forms::widgetOf(source), QStringLiteral("1000"));
    const QString converted = Driving::text(other);
    const double euro = boxes.converter.EuroAmount;
    const QColor normal = Forms::widgetOf(other)->palette().color(QPalette::Text);
    QVERIFY(!converted.isEmpty());

    // Pasted whole, so that no part of it converts on the way.
    source.SetFocus();
    Forms::widgetOf(source)->selectAll();
    QTest::keyClick(Forms::widgetOf(source), Qt::Key_Backspace);
    QGuiApplication::clipboard()->setText(slip);
    QTest::keyClick(Forms::widgetOf(source), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(Driving::text(source), slip);
    QCOMPARE(Driving::text(other), converted);
    QCOMPARE(boxes.converter.EuroAmount, euro);
    // The old amount stays in sight, greyed, its tooltip naming the text
    // that did not read, and Enter will not copy it but shows why.
    QVERIFY(other.OutOfDate());
    QCOMPARE(Forms::widgetOf(other)->palette().color(QPalette::Text),
             Forms::widgetOf(other)->palette().color(QPalette::Disabled, QPalette::Text));
    QVERIFY(Forms::widgetOf(other)->toolTip().endsWith(
        slip.isEmpty() ? QStringLiteral("other box") : QStringLiteral("Not an amount: ") + slip));
    QGuiApplication::clipboard()->setText(QStringLiteral("what the user copied"));
    QTest::keyClick(Forms::widgetOf(source), Qt::Key_Return);
    QCOMPARE(clipboardText(), QStringLiteral("what the user copied"));
    QTRY_VERIFY(QToolTip::isVisible());
    QCOMPARE(QToolTip::text(), Forms::widgetOf(other)->toolTip());
    QToolTip::hideText();
    QCOMPARE(Forms::widgetOf(boxes.window)->focusWidget(), Forms::widgetOf(source));

    // The same amount again, pasted whole, converts to the very text the box
    // shows: current again, and Enter copies it.
    Forms::widgetOf(source)->selectAll();
    QGuiApplication::clipboard()->setText(QStringLiteral("1000"));
    QTest::keyClick(Forms::widgetOf(source), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(Driving::text(other), converted);
    QVERIFY(!other.OutOfDate());
    QCOMPARE(Forms::widgetOf(other)->palette().color(QPalette::Text), normal);
    QTest::keyClick(Forms::widgetOf(source), Qt::Key_Return);
    QCOMPARE(clipboardText(), converted);

    // Greyed, then edited by the user: its text is the user's now, no longer
    // an out-of-date amount, and Enter in the first box copies it.
    Forms::widgetOf(source)->selectAll();
    QGuiApplication::clipboard()->setText(QStringLiteral("x"));
    QTest::keyClick(Forms::widgetOf(source), Qt::Key_V, Qt::ControlModifier);
    QVERIFY(other.OutOfDate());
    QTest::keyClicks(Forms::widgetOf(other), QStringLiteral("7"));
    QVERIFY(!other.OutOfDate());
    QTest::keyClick(Forms::widgetOf(source), Qt::Key_Return);
    QCOMPARE(clipboardText(), Driving::text(other));
}

void tst_Converter::keypadDecimalTypesTheRegionalSeparator_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<QString>("lire");
    QTest::addColumn<bool>("english");
    QTest::newRow("keypad full stop")
        << int(Qt::Key_Period) << Qt::KeyboardModifiers(Qt::KeypadModifier)
        << QStringLiteral("L. 24.203") << false;
    QTest::newRow("keypad comma") << int(Qt::Key_Comma) << Qt::KeyboardModifiers(Qt::KeypadModifier)
                                  << QStringLiteral("L. 24.203") << false;
    // A German keypad's comma with English settings.
    QTest::newRow("keypad comma, English settings")
        << int(Qt::Key_Comma) << Qt::KeyboardModifiers(Qt::KeypadModifier)
        << QStringLiteral("L. 24,203") << true;
    // The main keyboard's full stop stays one, and 12.50 is no amount.
    QTest::newRow("main full stop")
        << int(Qt::Key_Period) << Qt::KeyboardModifiers() << QStringLiteral("L. 23.235") << false;
}

void tst_Converter::keypadDecimalTypesTheRegionalSeparator()
{
    QFETCH(int, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(QString, lire);
    QFETCH(bool, english);
    Boxes boxes(english ? QLocale(QLocale::English, QLocale::UnitedStates)
                        : QLocale(QLocale::Italian, QLocale::Italy));
    QTest::keyClicks(Forms::widgetOf(boxes.Text2), QStringLiteral("12"));
    QTest::keyClick(Forms::widgetOf(boxes.Text2), Qt::Key(key), modifiers, -1);
    QTest::keyClicks(Forms::widgetOf(boxes.Text2), QStringLiteral("50"));
    QCOMPARE(Driving::text(boxes.Text1), lire);
}

void tst_Converter::programSetNeverChangesDirection()
{
    Boxes boxes;
    QTest::keyClicks(Forms::widgetOf(boxes.Text1), QStringLiteral("1000"));
    QCOMPARE(boxes.converter.EditingLire, True);

    // A set of the target box from the program converts nothing back.
    boxes.Text2.SetText(u"Euro 99,00");
    QCOMPARE(boxes.converter.EditingLire, True);
    QCOMPARE(Driving::text(boxes.Text1), QStringLiteral("1000"));

    // Any other set is the user's, as a screen reader's is: it converts.
    Forms::widgetOf(boxes.Text2)->setText(QStringLiteral("10"));
    QCOMPARE(boxes.converter.EditingLire, False);
    QCOMPARE(Driving::text(boxes.Text1), QStringLiteral("L. 19.363"));
}

void tst_Converter::oneKeystrokeOneConversion()
{
    Boxes boxes;
    QTest::keyClicks(Forms::widgetOf(boxes.Text2), QStringLiteral("12,5"));
    QCOMPARE(boxes.converter.conversions(), quint64(4));
    QCOMPARE(Driving::text(boxes.Text2), QStringLiteral("12,5"));
    QCOMPARE(Driving::text(boxes.Text1), QStringLiteral("L. 24.203"));
}

void tst_Converter::keyReleaseWithoutEditSetsDirection()
{
    Boxes boxes;
    QTest::keyClick(Forms::widgetOf(boxes.Text1), Qt::Key_Right);
    QCOMPARE(boxes.converter.EditingLire, True);
    QTest::keyClick(Forms::widgetOf(boxes.Text2), Qt::Key_Shift);
    QCOMPARE(boxes.converter.EditingLire, False);
}

void tst_Converter::enterCopiesTheOtherBox_data()
{
    QTest::addColumn<bool>("intoLire");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("copied");

    QTest::newRow("return in the lire box")
        << true << int(Qt::Key_Return) << QStringLiteral("Euro 0,52");
    QTest::newRow("keypad enter in the lire box")
        << true << int(Qt::Key_Enter) << QStringLiteral("Euro 0,52");
    QTest::newRow("return in the euro box")
        << false << int(Qt::Key_Return) << QStringLiteral("L. 1.936.270");
}

void tst_Converter::enterCopiesTheOtherBox()
{
    QFETCH(bool, intoLire);
    QFETCH(int, key);
    QFETCH(QString, copied);

    Boxes boxes;
    QTest::keyClicks(Forms::widgetOf(boxes.box(intoLire)), QStringLiteral("1000"));
    QTest::keyClick(Forms::widgetOf(boxes.box(intoLire)), Qt::Key(key));
    QCOMPARE(clipboardText(), copied);
    QCOMPARE(Forms::widgetOf(boxes.window)->focusWidget(), Forms::widgetOf(boxes.box(!intoLire)));
    QCOMPARE(Driving::selText(boxes.box(!intoLire)), copied);
    // Enter changes no text, so it converts nothing.
    QCOMPARE(Driving::text(boxes.box(intoLire)), QStringLiteral("1000"));
}

void tst_Converter::enterCopiesTheWholeTextWhereverTheCaret()
{
    Boxes boxes;
    QTest::keyClicks(Forms::widgetOf(boxes.Text1), QStringLiteral("1000000"));
    Forms::widgetOf(boxes.Text2)->setCursorPosition(7); // as a click into the Euro box leaves it
    QTest::keyClick(Forms::widgetOf(boxes.Text1), Qt::Key_Return);
    QCOMPARE(clipboardText(), QStringLiteral("Euro 516,46"));
}

void tst_Converter::enterWithEmptyOtherBoxKeepsClipboard_data()
{
    QTest::addColumn<QString>("typed");
    QTest::newRow("fresh boxes") << QString();
    QTest::newRow("after no amount") << QStringLiteral("abc");
}

void tst_Converter::enterWithEmptyOtherBoxKeepsClipboard()
{
    QFETCH(QString, typed);
    Boxes boxes;
    QGuiApplication::clipboard()->setText(QStringLiteral("what the user copied"));
    QTest::keyClicks(Forms::widgetOf(boxes.Text1), typed);
    QTest::keyClick(Forms::widgetOf(boxes.Text1), Qt::Key_Return);
    QCOMPARE(clipboardText(), QStringLiteral("what the user copied"));
}

void tst_Converter::amountsFollowTheLastConversion()
{
    Boxes boxes;
    QTest::keyClicks(Forms::widgetOf(boxes.Text2), QStringLiteral("2"));
    QCOMPARE(boxes.converter.EuroAmount, 2.0);
    QCOMPARE(boxes.converter.LireAmount, 2 * LirePerEuro);

    QTest::keyClicks(Forms::widgetOf(boxes.Text1), QStringLiteral("0"));
    // "0L. 3.873" does not read: the amounts stay as they were.
    QCOMPARE(boxes.converter.EuroAmount, 2.0);
    Forms::widgetOf(boxes.Text1)->selectAll();
    QTest::keyClicks(Forms::widgetOf(boxes.Text1), QStringLiteral("1000000"));
    QCOMPARE(boxes.converter.EuroAmount, 1000000 / LirePerEuro);
    // Both amounts follow a conversion either way.
    QCOMPARE(boxes.converter.LireAmount, 1000000.0);
}

QTEST_MAIN(tst_Converter)
#include "tst_converter.moc"
