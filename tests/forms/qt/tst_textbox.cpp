// SPDX-License-Identifier: MIT
#include "forms/textbox.h"

#include "driving.h"
#include "textbox_rules.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLineEdit>
#include <QStyleHints>
#include <QTemporaryFile>
#include <QTest>

#include <cstdio>
#include <stdexcept>
#include <unistd.h>

using namespace Monvert;

namespace {

// A box that writes down every event it raises, in order.
struct RecordingBox
{
    Forms::Form window;
    Forms::TextBox box{window, u"Text1"};
    QStringList events;

    RecordingBox()
    {
        box.Change = [this] { events << QStringLiteral("Change"); };
        box.Edited = [this] { events << QStringLiteral("Edited"); };
        box.KeyUp = [this](std::int16_t key, std::int16_t shift) {
            events << QStringLiteral("KeyUp %1 %2").arg(key).arg(shift);
        };
        Forms::widgetOf(box)->resize(200, 20);
        Forms::widgetOf(window)->show();
        Forms::widgetOf(box)->setFocus();
    }
};

// The shared rows' hands on a Qt box.
class QtDriver final : public TextBoxRules::Driver
{
public:
    void type(Forms::TextBox &box, std::u16string_view text) override
    {
        QTest::keyClicks(Forms::widgetOf(box), QString::fromStdU16String(std::u16string(text)));
    }
    void selectAll(Forms::TextBox &box) override { Forms::widgetOf(box)->selectAll(); }
    int caret(const Forms::TextBox &box) override { return Forms::widgetOf(box)->cursorPosition(); }
    void edit(Forms::TextBox &box, TextBoxRules::Edit edit) override
    {
        QGuiApplication::clipboard()->setText(QStringLiteral("42"));
        QTest::keySequence(Forms::widgetOf(box),
                           edit == TextBoxRules::Edit::Paste     ? QKeySequence::Paste
                               : edit == TextBoxRules::Edit::Cut ? QKeySequence::Cut
                                                                 : QKeySequence::Undo);
    }
    double drawnSize(const Forms::TextBox &box) override
    {
        const QFont font = Forms::widgetOf(box)->font();
        return font.pointSizeF() > 0 ? font.pointSizeF() : font.pixelSize();
    }
};

// What the program writes to standard error while `run` runs.
template <typename Run> QByteArray standardErrorOf(Run run)
{
    std::fflush(stderr);
    QTemporaryFile capture;
    if (!capture.open())
        return {};
    const int saved = ::dup(STDERR_FILENO);
    ::dup2(capture.handle(), STDERR_FILENO);
    run();
    std::fflush(stderr);
    ::dup2(saved, STDERR_FILENO);
    ::close(saved);
    capture.seek(0);
    return capture.readAll();
}

} // namespace

class tst_TextBox : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void sharedRules_data();
    void sharedRules();
    void keystrokeEventOrder_data();
    void keystrokeEventOrder();
    void autoRepeatReleaseIsNoKeyUp();
    void longAmountIsDrawnSmallerDownToTwoThirds();
    void selLengthClipsAtTheEnd_data();
    void selLengthClipsAtTheEnd();
    void failureInAProcedureIsReportedNotFatal();
    void caretStaysSteadyWhileABoxHoldsALongText();
};

// The shared table's set rows, then its edit rows, by their names.
void tst_TextBox::sharedRules_data()
{
    QTest::addColumn<int>("row");
    for (std::size_t i = 0; i < TextBoxRules::SetRows.size(); ++i)
        QTest::newRow(TextBoxRules::SetRows[i].name) << int(i);
    for (std::size_t i = 0; i < TextBoxRules::EditRows.size(); ++i)
        QTest::newRow(TextBoxRules::EditRows[i].name) << int(TextBoxRules::SetRows.size() + i);
}

void tst_TextBox::sharedRules()
{
    QFETCH(int, row);
    RecordingBox r;
    QtDriver driver;
    const auto i = std::size_t(row);
    const std::string wrong = i < TextBoxRules::SetRows.size()
        ? TextBoxRules::checkSet(r.box, driver, TextBoxRules::SetRows[i])
        : TextBoxRules::checkEdit(r.box, driver,
                                  TextBoxRules::EditRows[i - TextBoxRules::SetRows.size()]);
    QVERIFY2(wrong.empty(), wrong.c_str());
}

void tst_TextBox::keystrokeEventOrder_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<QStringList>("events");

    QTest::newRow("digit") << int(Qt::Key_5) << Qt::KeyboardModifiers()
                           << QStringList{QStringLiteral("Edited"), QStringLiteral("Change"),
                                          QStringLiteral("KeyUp 53 0")};
    QTest::newRow("return") << int(Qt::Key_Return) << Qt::KeyboardModifiers()
                            << QStringList{QStringLiteral("KeyUp 13 0")};
    QTest::newRow("keypad enter") << int(Qt::Key_Enter) << Qt::KeyboardModifiers(Qt::KeypadModifier)
                                  << QStringList{QStringLiteral("KeyUp 13 0")};
    QTest::newRow("shift+return") << int(Qt::Key_Return) << Qt::KeyboardModifiers(Qt::ShiftModifier)
                                  << QStringList{QStringLiteral("KeyUp 13 1")};
    QTest::newRow("ctrl+return") << int(Qt::Key_Return)
                                 << Qt::KeyboardModifiers(Qt::ControlModifier)
                                 << QStringList{QStringLiteral("KeyUp 13 2")};
    QTest::newRow("arrow") << int(Qt::Key_Left) << Qt::KeyboardModifiers()
                           << QStringList{QStringLiteral("KeyUp 37 0")};
}

void tst_TextBox::keystrokeEventOrder()
{
    QFETCH(int, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(QStringList, events);
    RecordingBox r;
    QTest::keyClick(Forms::widgetOf(r.box), Qt::Key(key), modifiers);
    // The modifier's own release may follow.
    QCOMPARE(r.events.mid(0, events.size()), events);
}

void tst_TextBox::autoRepeatReleaseIsNoKeyUp()
{
    RecordingBox r;
    QKeyEvent repeated(QEvent::KeyRelease, Qt::Key_5, Qt::NoModifier, QStringLiteral("5"), true);
    QApplication::sendEvent(Forms::widgetOf(r.box), &repeated);
    QVERIFY(r.events.isEmpty());
}

void tst_TextBox::longAmountIsDrawnSmallerDownToTwoThirds()
{
    const auto form = Driving::italianForm();
    form->converter.EditingLire = False;
    QtDriver driver;
    const std::string wrong = TextBoxRules::checkLongAmountFits(form->Text2, driver);
    QVERIFY2(wrong.empty(), wrong.c_str());
}

void tst_TextBox::selLengthClipsAtTheEnd_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("length");
    QTest::addColumn<QString>("selected");
    QTest::newRow("whole text") << 0 << 9 << QStringLiteral("Euro 0,52");
    QTest::newRow("past the end") << 5 << 100 << QStringLiteral("0,52");
    QTest::newRow("nothing") << 3 << 0 << QString();
}

void tst_TextBox::selLengthClipsAtTheEnd()
{
    QFETCH(int, start);
    QFETCH(int, length);
    QFETCH(QString, selected);
    RecordingBox r;
    r.box.SetText(u"Euro 0,52");
    r.box.SetSelStart(start);
    r.box.SetSelLength(length);
    QCOMPARE(Driving::selText(r.box), selected);
}

void tst_TextBox::failureInAProcedureIsReportedNotFatal()
{
    RecordingBox r;
    r.box.KeyUp = [](std::int16_t, std::int16_t) { throw std::runtime_error("boom"); };
    const QByteArray written
        = standardErrorOf([&] { QTest::keyClick(Forms::widgetOf(r.box), Qt::Key_Return); });
    QCOMPARE(written, QByteArray("Monvert: unhandled error in Text1_KeyUp: boom\n"));
    // Still answering events.
    r.box.KeyUp = nullptr;
    QTest::keyClicks(Forms::widgetOf(r.box), QStringLiteral("12"));
    QCOMPARE(Driving::text(r.box), QStringLiteral("12"));
}

// Every blink of the caret redraws the whole line: with a mebibyte in a box
// that kept a processor busy for as long as the text stayed there.
void tst_TextBox::caretStaysSteadyWhileABoxHoldsALongText()
{
    QStyleHints *hints = QGuiApplication::styleHints();
    const int blinking = hints->cursorFlashTime();
    QVERIFY(blinking > 0);
    const QString longText(1 << 20, u'7');
    {
        RecordingBox first;
        RecordingBox second;
        first.box.SetText(longText.toStdU16String());
        QCOMPARE(hints->cursorFlashTime(), 0);
        second.box.SetText(longText.toStdU16String());
        first.box.SetText(u"10");
        QCOMPARE(hints->cursorFlashTime(), 0);
        second.box.SetText({});
        QCOMPARE(hints->cursorFlashTime(), blinking);
        // Typed or pasted by the user counts as much as a program's set.
        Forms::widgetOf(first.box)->insert(longText);
        QCOMPARE(hints->cursorFlashTime(), 0);
    }
    // A box that goes away with its long text gives the blinking back.
    QCOMPARE(hints->cursorFlashTime(), blinking);
}

QTEST_MAIN(tst_TextBox)
#include "tst_textbox.moc"
