// SPDX-License-Identifier: MIT
#include "forms/label.h"
#include "forms/qt/widgets.h"

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QTest>
#include <QThread>

using namespace Monvert;

namespace {

struct RecordingLabel
{
    Forms::Form window;
    Forms::Label label{window, u"Label1", u"Lire"};
    QStringList events;

    RecordingLabel()
    {
        label.Click = [this] { events << QStringLiteral("Click"); };
        label.DblClick = [this] { events << QStringLiteral("DblClick"); };
        label.MouseDown = [this](std::int16_t button, std::int16_t, float, float) {
            events << QStringLiteral("MouseDown %1").arg(button);
        };
        label.MouseUp = [this](std::int16_t button, std::int16_t, float, float) {
            events << QStringLiteral("MouseUp %1").arg(button);
        };
        Forms::widgetOf(label)->setGeometry(10, 0, 40, 20);
        Forms::widgetOf(window)->resize(100, 40);
        Forms::widgetOf(window)->show();
    }

    void send(QEvent::Type type, Qt::MouseButton button, QPoint at = QPoint(5, 5),
              quint64 timestamp = 0)
    {
        QMouseEvent event(type, at, Forms::widgetOf(label)->mapToGlobal(at), button,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : button,
                          Qt::NoModifier);
        event.setTimestamp(timestamp);
        QApplication::sendEvent(Forms::widgetOf(label), &event);
    }
};

} // namespace

class tst_Label : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void eventOrder_data();
    void eventOrder();
    void releaseAwayFromTheLabelIsNoClick();
    void fontBoldRedrawsTheWeight();
    void clickQueuedBehindACommand_data();
    void clickQueuedBehindACommand();
};

void tst_Label::eventOrder_data()
{
    QTest::addColumn<QList<int>>("types");
    QTest::addColumn<int>("button");
    QTest::addColumn<QStringList>("events");

    const int press = QEvent::MouseButtonPress;
    const int release = QEvent::MouseButtonRelease;
    const int dbl = QEvent::MouseButtonDblClick;
    // What an X11 server delivers through Qt for each gesture.
    QTest::newRow("click") << QList<int>{press, release} << int(Qt::LeftButton)
                           << QStringList{QStringLiteral("MouseDown 1"),
                                          QStringLiteral("MouseUp 1"), QStringLiteral("Click")};
    QTest::newRow("double-click") << QList<int>{press, release, dbl, release} << int(Qt::LeftButton)
                                  << QStringList{
                                         QStringLiteral("MouseDown 1"), QStringLiteral("MouseUp 1"),
                                         QStringLiteral("Click"), QStringLiteral("DblClick"),
                                         QStringLiteral("MouseUp 1")};
    QTest::newRow("right click is no click")
        << QList<int>{press, release} << int(Qt::RightButton)
        << QStringList{QStringLiteral("MouseDown 2"), QStringLiteral("MouseUp 2")};
    QTest::newRow("right double-click is two presses")
        << QList<int>{press, release, dbl, release} << int(Qt::RightButton)
        << QStringList{QStringLiteral("MouseDown 2"), QStringLiteral("MouseUp 2"),
                       QStringLiteral("MouseDown 2"), QStringLiteral("MouseUp 2")};
    QTest::newRow("middle button")
        << QList<int>{press, release} << int(Qt::MiddleButton)
        << QStringList{QStringLiteral("MouseDown 4"), QStringLiteral("MouseUp 4")};
}

void tst_Label::eventOrder()
{
    QFETCH(QList<int>, types);
    QFETCH(int, button);
    QFETCH(QStringList, events);
    RecordingLabel r;
    for (const int type : types)
        r.send(QEvent::Type(type), Qt::MouseButton(button));
    QCOMPARE(r.events, events);
}

void tst_Label::releaseAwayFromTheLabelIsNoClick()
{
    RecordingLabel r;
    r.send(QEvent::MouseButtonPress, Qt::LeftButton);
    r.send(QEvent::MouseButtonRelease, Qt::LeftButton, QPoint(60, 5));
    QCOMPARE(r.events, (QStringList{QStringLiteral("MouseDown 1"), QStringLiteral("MouseUp 1")}));
}

void tst_Label::fontBoldRedrawsTheWeight()
{
    RecordingLabel r;
    r.label.SetFontBold(true);
    QVERIFY(Forms::widgetOf(r.label)->font().bold());
    r.label.SetFontBold(false);
    QCOMPARE(Forms::widgetOf(r.label)->font().weight(), QFont::Normal);
    QVERIFY(!r.label.FontBold());
}

void tst_Label::clickQueuedBehindACommand_data()
{
    QTest::addColumn<int>("commandMs");
    QTest::addColumn<bool>("acrossTheWrap"); // the X server's 32-bit clock wraps in between
    QTest::addColumn<int>("clicks");
    // Behind ordinary work a click made meanwhile is the user's; behind a wait
    // on another program it would wait again, and is dropped.
    QTest::newRow("200 ms of work") << 200 << false << 2;
    QTest::newRow("600 ms of waiting") << 600 << false << 1;
    QTest::newRow("600 ms of waiting as the clock wraps") << 600 << true << 1;
}

void tst_Label::clickQueuedBehindACommand()
{
    QFETCH(int, commandMs);
    QFETCH(bool, acrossTheWrap);
    QFETCH(int, clicks);
    RecordingLabel r;
    int count = 0;
    r.label.Click = [&] {
        if (count++ == 0)
            QThread::msleep(ulong(commandMs));
    };
    // Window-system milliseconds, apart from any other row's.
    static quint64 stamp = 1'000'000;
    stamp += 100'000;
    const quint64 first = acrossTheWrap ? 0xFFFF'FFC0 : stamp;
    for (const quint64 at : {first, first + 100}) {
        r.send(QEvent::MouseButtonPress, Qt::LeftButton, QPoint(5, 5), at & 0xFFFF'FFFF);
        r.send(QEvent::MouseButtonRelease, Qt::LeftButton, QPoint(5, 5), (at + 10) & 0xFFFF'FFFF);
    }
    QCOMPARE(count, clicks);
}

QTEST_MAIN(tst_Label)
#include "tst_label.moc"
