// SPDX-License-Identifier: MIT
#include "convert/amount.h"
#include "platform/regional.h"

#include <QLocale>
#include <QTest>

#include <bit>
#include <cmath>
#include <limits>

using namespace Monvert;

namespace {

NumberFormat formatOf(const QString &localeName)
{
    return Forms::numberFormatFor(QLocale(localeName));
}

constexpr qint64 Failed = std::numeric_limits<qint64>::min() + 1; // no row reads to this

} // namespace

class tst_Amount : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readCurrency_data();
    void readCurrency();
    void formatNumber_data();
    void formatNumber();
    void formattedAmountsReadBack_data();
    void formattedAmountsReadBack();
    void wideningIsTheNearestDouble_data();
    void wideningIsTheNearestDouble();
};

void tst_Amount::readCurrency_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("text");
    QTest::addColumn<qint64>("count");

    const QString it = QStringLiteral("it_IT");
    auto row = [](const char *name, const QString &locale, const QString &text, qint64 count) {
        QTest::newRow(name) << locale << text << count;
    };
    row("it plain", it, QStringLiteral("1000"), 10'000'000);
    row("it grouped with decimals", it, QStringLiteral("1.000,5"), 10'005'000);
    row("it two groups", it, QStringLiteral("1.936.270"), 19'362'700'000);
    row("it tail of a Euro text", it, QStringLiteral(" 12,5"), 125'000);
    row("it blanks of all kinds", it, QStringLiteral("\t\r\n\u00A0 12,5 \u202F\n"), 125'000);
    row("it lira display text", it, QStringLiteral("L. 9.681"), 96'810'000);
    row("it lira display negative", it, QStringLiteral("L. -9.681"), -96'810'000);
    row("it lira symbol after", it, QStringLiteral("9.681 L."), 96'810'000);
    row("it lira symbol no blank", it, QStringLiteral("L.5"), 50'000);
    row("it euro symbol before", it, QStringLiteral("\u20AC 5"), 50'000);
    row("it euro symbol after", it, QStringLiteral("5\u20AC"), 50'000);
    row("it plus sign", it, QStringLiteral("+5"), 50'000);
    row("it minus sign", it, QStringLiteral("-5"), -50'000);
    row("it leading decimal", it, QStringLiteral(",5"), 5'000);
    row("it trailing decimal", it, QStringLiteral("5,"), 50'000);
    row("it many leading zeros", it, QStringLiteral("0000000000000000000000000001"), 10'000);
    row("it fifth decimal half rounds away", it, QStringLiteral("0,00005"), 1);
    row("it negative half rounds away", it, QStringLiteral("-0,00005"), -1);
    row("it below half rounds down", it, QStringLiteral("0,000049999"), 0);
    row("it four decimals kept", it, QStringLiteral("1,23456"), 12'346);
    row("it largest amount", it, QStringLiteral("922.337.203.685.477,5807"),
        std::numeric_limits<qint64>::max());
    row("it smallest amount", it, QStringLiteral("-922.337.203.685.477,5808"),
        std::numeric_limits<qint64>::min());
    row("it just above the range", it, QStringLiteral("922.337.203.685.477,5808"), Failed);
    row("it just below the range", it, QStringLiteral("-922.337.203.685.477,5809"), Failed);
    row("it rounding leaves the range", it, QStringLiteral("922337203685477,58075"), Failed);
    row("it beyond 64 bits", it, QStringLiteral("99999999999999999999999"), Failed);
    row("it one and a half is no fifteen", it, QStringLiteral("1.5"), Failed);
    row("it group of four", it, QStringLiteral("34.2443"), Failed);
    row("it leading zero group", it, QStringLiteral("0.011"), Failed);
    row("it first group of four", it, QStringLiteral("1000.000"), Failed);
    row("it group in the decimals", it, QStringLiteral("1,000.5"), Failed);
    row("it doubled separator", it, QStringLiteral("1..000"), Failed);
    row("it second decimal separator", it, QStringLiteral("1,000,5"), Failed);
    row("it plain space is no group", it, QStringLiteral("1 000"), Failed);
    row("it empty", it, QString(), Failed);
    row("it lone blank", it, QStringLiteral(" "), Failed);
    row("it letters", it, QStringLiteral("abc"), Failed);
    row("it lone sign", it, QStringLiteral("-"), Failed);
    row("it lone separator", it, QStringLiteral(","), Failed);
    row("it blank after sign", it, QStringLiteral("- 5"), Failed);
    row("it trailing sign", it, QStringLiteral("5-"), Failed);
    row("it parentheses", it, QStringLiteral("(5)"), Failed);
    row("it exponent", it, QStringLiteral("1e3"), Failed);
    row("it euro display text", it, QStringLiteral("Euro 0,52"), Failed);
    row("it symbol alone", it, QStringLiteral("L. "), Failed);
    row("it two symbols", it, QStringLiteral("L. 5 \u20AC"), Failed);
    row("it other digits", it, QStringLiteral("\u0665"), Failed);

    const QString en = QStringLiteral("en_US");
    row("en grouped", en, QStringLiteral("1,234.50"), 12'345'000);
    row("en decimal point", en, QStringLiteral("1.5"), 15'000);
    row("en comma is no decimal", en, QStringLiteral("1,5"), Failed);
    row("en dollar", en, QStringLiteral("$5"), 50'000);
    row("en lira display text", en, QStringLiteral("L. 1,936"), 19'360'000);

    const QString de = QStringLiteral("de_DE");
    row("de grouped", de, QStringLiteral("1.234,50"), 12'345'000);
    row("de decimal comma", de, QStringLiteral("1,5"), 15'000);

    const QString fr = QStringLiteral("fr_FR");
    row("fr locale's own group", fr,
        QLocale(fr).groupSeparator().prepend(u'1') + QStringLiteral("234,50"), 12'345'000);
    row("fr narrow no-break group", fr, QStringLiteral("1\u202F234,50"), 12'345'000);
    row("fr no-break group", fr, QStringLiteral("1\u00A0234,50"), 12'345'000);
    row("fr plain space group", fr, QStringLiteral("1 234,50"), 12'345'000);
    row("fr short group", fr, QStringLiteral("1 23,5"), Failed);

    const QString ch = QStringLiteral("de_CH");
    row("ch typographic apostrophe", ch, QStringLiteral("1\u2019234.50"), 12'345'000);
    row("ch straight apostrophe", ch, QStringLiteral("1'234.50"), 12'345'000);
    row("ch decimal point", ch, QStringLiteral("0.05"), 500);
}

void tst_Amount::readCurrency()
{
    QFETCH(QString, locale);
    QFETCH(QString, text);
    QFETCH(qint64, count);

    const auto read = ReadCurrency(Forms::utf16View(text), formatOf(locale));
    if (count == Failed) {
        QVERIFY2(read == ConversionFailed, qPrintable(QString::number(read ? read->count : 0)));
    } else {
        QVERIFY(read.has_value());
        QCOMPARE(read->count, count);
    }
}

void tst_Amount::formatNumber_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<double>("value");
    QTest::addColumn<bool>("euro");
    QTest::addColumn<QString>("expected");

    const QString it = QStringLiteral("it_IT");
    const double rate = 1936.27;
    auto row = [](const char *name, const QString &locale, double value, bool euro,
                  const QString &expected) {
        QTest::newRow(name) << locale << value << euro << expected;
    };
    row("it a million lire", it, 1'000'000 / rate, true, QStringLiteral("516,46"));
    row("it one euro", it, 1 * rate, false, QStringLiteral("1.936"));
    row("it five lire", it, 5 / rate, true, QStringLiteral("0,00"));
    row("it hundred euro", it, 100 * rate, false, QStringLiteral("193.627"));
    row("it tiny euro amount", it, 0.0002 * rate, false, QStringLiteral("0"));
    row("it minus five euro", it, -5 * rate, false, QStringLiteral("-9.681"));
    // Exact halves in decimal, just below them in binary: they must round up.
    row("it fifty euro", it, 50 * rate, false, QStringLiteral("96.814"));
    row("it hundred fifty euro", it, 150 * rate, false, QStringLiteral("290.441"));
    row("it two hundred fifty euro", it, 250 * rate, false, QStringLiteral("484.068"));
    row("it negative half", it, -50 * rate, false, QStringLiteral("-96.814"));
    row("it carry through nines", it, 999.995, true, QStringLiteral("1.000,00"));
    row("it no minus zero euro", it, -0.001, true, QStringLiteral("0,00"));
    row("it no minus zero lire", it, -0.4, false, QStringLiteral("0"));
    row("it minus zero itself", it, -0.0, true, QStringLiteral("0,00"));
    row("it zero", it, 0.0, true, QStringLiteral("0,00"));
    row("it group boundary", it, 999'999.0, false, QStringLiteral("999.999"));
    row("it beyond fifteen digits", it, 922'337'203'685'477.5807 * rate, false,
        QStringLiteral("1.785.893.857.380.080.000"));
    row("it not a number", it, std::numeric_limits<double>::quiet_NaN(), true, QString());
    row("en grouped", QStringLiteral("en_US"), 1234.5, true, QStringLiteral("1,234.50"));
    row("de grouped", QStringLiteral("de_DE"), 1234.5, true, QStringLiteral("1.234,50"));
    row("fr grouped", QStringLiteral("fr_FR"), 1234.5, true,
        QLocale(QStringLiteral("fr_FR")).groupSeparator().prepend(u'1') + QStringLiteral("234,50"));
    row("ch grouped", QStringLiteral("de_CH"), 1234.5, true,
        QLocale(QStringLiteral("de_CH")).groupSeparator().prepend(u'1') + QStringLiteral("234.50"));
}

void tst_Amount::formatNumber()
{
    QFETCH(QString, locale);
    QFETCH(double, value);
    QFETCH(bool, euro);
    QFETCH(QString, expected);

    const std::u16string text
        = FormatNumber(value, euro ? EuroPattern : LirePattern, formatOf(locale));
    QCOMPARE(QString::fromStdU16String(text), expected);
}

void tst_Amount::formattedAmountsReadBack_data()
{
    QTest::addColumn<QString>("locale");
    for (const char *locale : {"it_IT", "en_US", "de_DE", "fr_FR", "de_CH", "C"})
        QTest::newRow(locale) << QString::fromLatin1(locale);
}

void tst_Amount::formattedAmountsReadBack()
{
    QFETCH(QString, locale);
    const NumberFormat format = formatOf(locale);
    for (const double value : {0.0, 0.01, -0.01, 1.5, 999.99, 1234.56, -98765.43, 1e12, 9.2e14}) {
        const std::u16string text = FormatNumber(value, EuroPattern, format);
        const auto read = ReadCurrency(text, format);
        QVERIFY2(read.has_value(), qPrintable(QString::fromStdU16String(text)));
        QCOMPARE(read->count, qint64(std::llround(value * 100)) * 100);
    }
}

void tst_Amount::wideningIsTheNearestDouble_data()
{
    QTest::addColumn<qint64>("count");
    QTest::newRow("one ten-thousandth") << qint64(1);
    QTest::newRow("minus one") << qint64(-10'000);
    QTest::newRow("just above 2^53") << (qint64(1) << 53) + 1;
    QTest::newRow("odd near 2^60") << (qint64(1) << 60) + 12'345;
    QTest::newRow("largest") << std::numeric_limits<qint64>::max();
    QTest::newRow("smallest") << std::numeric_limits<qint64>::min();
}

void tst_Amount::wideningIsTheNearestDouble()
{
    QFETCH(qint64, count);
    // The decimal text of count / 10000, rounded once by a correct parser.
    const QString decimal = QString::number(count) + QStringLiteral("e-4");
    bool ok = false;
    const double nearest = decimal.toDouble(&ok);
    QVERIFY(ok);
    // Bit for bit: QCOMPARE on doubles would forgive the one-ulp error this is about.
    QCOMPARE(std::bit_cast<quint64>(toDouble(Currency{count})), std::bit_cast<quint64>(nearest));
}

QTEST_APPLESS_MAIN(tst_Amount)
#include "tst_amount.moc"
