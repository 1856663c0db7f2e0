// SPDX-License-Identifier: MIT
// A long session in one process: typing, Enter, and label clicks by the ten
// thousand. Whatever the window keeps per keystroke or per click shows up here
// as resident memory that grows after the warm-up.
#include "forms/qt/widgets.h"
#include "number_format.h"
#include "window/form1.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QTest>

#include <unistd.h>

#include <fstream>

using namespace Monvert;

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool UnderAddressSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool UnderAddressSanitizer = true;
#else
constexpr bool UnderAddressSanitizer = false;
#endif
#else
constexpr bool UnderAddressSanitizer = false;
#endif

long residentBytes()
{
    std::ifstream statm("/proc/self/statm");
    long size = 0;
    long resident = 0;
    statm >> size >> resident;
    return resident * sysconf(_SC_PAGESIZE);
}

// One round: an amount typed into a box and taken back out again, with Enter
// before it is erased, so both conversions, the copy and the undo history are
// exercised. 16 keystrokes.
void typeRound(Form1 &form, int round)
{
    QLineEdit *box = round % 2 ? Forms::widgetOf(form.Text2) : Forms::widgetOf(form.Text1);
    const QString amount = QString::number(1000000 + round * 7919 % 9000000);
    QTest::keyClicks(box, amount);
    QTest::keyClick(box, Qt::Key_Return);
    for (qsizetype i = 0; i < box->text().size() && i < 8; ++i)
        QTest::keyClick(box, Qt::Key_Backspace);
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Delete);
}

void clickRound(Form1 &form, int round)
{
    static const QString copied[] = {QStringLiteral("1000"), QStringLiteral("Euro 516,46"),
                                     QStringLiteral("abc"), QStringLiteral("L. 19.363")};
    QGuiApplication::clipboard()->setText(copied[round % 4]);
    Forms::Label &label = round % 3 == 0 ? form.Label1 : round % 3 == 1 ? form.Label2 : form.Label3;
    QTest::mouseClick(Forms::widgetOf(label), Qt::LeftButton);
}

} // namespace

class tst_Soak : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void memoryStaysFlat();
};

void tst_Soak::memoryStaysFlat()
{
    constexpr int KeysPerRound = 16;
    constexpr int Keystrokes = 100000;
    constexpr int Clicks = 10000;
    constexpr int WarmUpRounds = 500;

    Form1 form(numberFormatFor(QLocale(QLocale::Italian, QLocale::Italy)));
    form.Form_Load();

    const int rounds = Keystrokes / KeysPerRound;
    const int clicksEvery = rounds / Clicks + 1;
    long warm = 0;
    int clicks = 0;
    for (int round = 0; round < rounds || clicks < Clicks; ++round) {
        if (round < rounds)
            typeRound(form, round);
        for (int i = 0; i < (round < rounds ? 2 : 8) && clicks < Clicks; ++i)
            clickRound(form, clicks++);
        if (round % clicksEvery == 0)
            QCoreApplication::processEvents();
        if (round == WarmUpRounds)
            warm = residentBytes();
    }
    const long grown = residentBytes() - warm;
    qInfo("resident after warm-up %ld KiB, grown by %ld KiB", warm / 1024, grown / 1024);
    QCOMPARE(clicks, Clicks);
    // Every digit typed converted, so the loop really ran the keystroke path.
    QVERIFY(form.converter.conversions() >= std::uint64_t(rounds) * 7);
    if (UnderAddressSanitizer)
        QSKIP("the address sanitizer's quarantine holds freed memory; its leak check runs instead");
    QVERIFY2(grown < 1024 * 1024, qPrintable(QStringLiteral("grew by %1 bytes").arg(grown)));
}

QTEST_MAIN(tst_Soak)
#include "tst_soak.moc"
