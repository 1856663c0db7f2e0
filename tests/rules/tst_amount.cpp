// SPDX-License-Identifier: MIT
#include "number_format.h"
#include "rules/amount.h"
#include "rules/regional.h"

#include <QLocale>
#include <QTest>

#include <bit>
#include <cmath>
#include <limits>

using namespace Monvert;

namespace {

NumberFormat formatOf(const QString &localeName)
{
    return numberFormatFor(QLocale(localeName));
}

constexpr qint64 Failed = std::numeric_limits<qint64>::min() + 1; // no row reads to this

} // namespace

class tst_Amount : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readCurrency_data();
    void readCurrency();
    void conversionIsExact_data();
    void conversionIsExact();
    void formatNumber_data();
    void formatNumber();
    void displayTextsReadBackInEveryLocale();
    void regionalSettingsAgreeWithQt_data();
    void regionalSettingsAgreeWithQt();
    void wideningIsTheNearestDouble_data();
    void wideningIsTheNearestDouble();
};

void tst_Amount::readCurrency_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<bool>("euro");
    QTest::addColumn<QString>("text");
    QTest::addColumn<qint64>("count");

    const QString it = QStringLiteral("it_IT");
    // Read as the Lire box reads; euroRow as the Euro box reads.
    auto row = [](const char *name, const QString &locale, const QString &text, qint64 count) {
        QTest::newRow(name) << locale << false << text << count;
    };
    auto euroRow = [](const char *name, const QString &locale, const QString &text, qint64 count) {
        QTest::newRow(name) << locale << true << text << count;
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
    row("it Lit. before", it, QStringLiteral("Lit. 1.000"), 10'000'000);
    row("it ITL after", it, QStringLiteral("1.000 ITL"), 10'000'000);
    row("it lira sign no blank", it, QStringLiteral("\u20A41.000"), 10'000'000);
    row("it bare L after", it, QStringLiteral("1.000L"), 10'000'000);
    row("it euro sign in the lire box", it, QStringLiteral("\u20AC 1000"), Failed);
    euroRow("it euro symbol before", it, QStringLiteral("\u20AC 5"), 50'000);
    euroRow("it euro symbol after", it, QStringLiteral("5\u20AC"), 50'000);
    euroRow("it EUR after", it, QStringLiteral("5 EUR"), 50'000);
    euroRow("it two euro marks", it, QStringLiteral("Euro 5 \u20AC"), Failed);
    euroRow("it lira display text in the euro box", it, QStringLiteral("L. 19.363"), Failed);
    euroRow("it ITL in the euro box", it, QStringLiteral("5 ITL"), Failed);
    euroRow("it EUR runs into the number", it, QStringLiteral("EUR5"), 50'000);
    euroRow("it blank before the display text", it, QStringLiteral(" Euro 5"), 50'000);
    euroRow("it no-break space after Euro", it, QStringLiteral("Euro\u00A05"), 50'000);
    euroRow("it euro word after", it, QStringLiteral("516,46 euro"), 5'164'600);
    euroRow("it euro word before", it, QStringLiteral("euro 516,46"), 5'164'600);
    euroRow("it words starting with E", it, QStringLiteral("Esercizio 2024"), Failed);
    euroRow("it another E word", it, QStringLiteral("Errore 404"), Failed);
    euroRow("it pounds of Egypt", it, QStringLiteral("EGP 1.000"), Failed);
    euroRow("it E and a pound sign", it, QStringLiteral("E\u00A3 1.000"), Failed);
    euroRow("it E and a lira mark", it, QStringLiteral("EL. 19.363"), Failed);
    euroRow("it pound sign in the euro box", it, QStringLiteral("\u00A3 10"), Failed);
    row("it pound sign for the lira", it, QStringLiteral("\u00A3 10.000"), 100'000'000);
    row("it lire word after", it, QStringLiteral("10.000 lire"), 100'000'000);
    row("it Lire word before", it, QStringLiteral("Lire 1.000.000"), 10'000'000'000);
    row("it lira word", it, QStringLiteral("1 lira"), 10'000);
    row("it lit. small", it, QStringLiteral("lit. 10.000"), 100'000'000);
    row("it euro word in the lire box", it, QStringLiteral("10 euro"), Failed);
    row("it two words", it, QStringLiteral("10.000 lire euro"), Failed);
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
    // Whole Lire grouped by thousands with "." or "," read so under any settings.
    row("it lire grouped the other way", it, QStringLiteral("L. 10,000"), 100'000'000);
    row("it pound sign, grouped the other way", it, QStringLiteral("\u00A310,000"), 100'000'000);
    row("it one thousand five hundred, the other way", it, QStringLiteral("L. 1,500"), 15'000'000);
    row("it grouped, three decimals", it, QStringLiteral("1.000,500 lire"), 10'005'000);
    euroRow("it euro price per litre", it, QStringLiteral("1,859"), 18'590);
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
    euroRow("it euro display text", it, QStringLiteral("Euro 0,52"), 5'200);
    euroRow("it capital E without blank", it, QStringLiteral("E100"), Failed);
    euroRow("it small e is no prefix", it, QStringLiteral("e 100"), Failed);
    row("it symbol alone", it, QStringLiteral("L. "), Failed);
    row("it two symbols", it, QStringLiteral("L. 5 \u20AC"), Failed);
    row("it other digits", it, QStringLiteral("\u0665"), Failed);
    row("it as long as a box holds, less one", it,
        QString(qsizetype(MaxTextLength) - 2, u' ') + QStringLiteral("1"), 10'000);
    row("it as long as a box holds: maybe cut", it,
        QString(qsizetype(MaxTextLength) - 1, u' ') + QStringLiteral("1"), Failed);

    const QString en = QStringLiteral("en_US");
    row("en grouped", en, QStringLiteral("1,234.50"), 12'345'000);
    row("en decimal point", en, QStringLiteral("1.5"), 15'000);
    row("en comma is no decimal", en, QStringLiteral("1,5"), Failed);
    row("en typographic minus", en, QStringLiteral("\u22125"), -50'000);
    row("en dollar in the lire box", en, QStringLiteral("$1000"), Failed);
    euroRow("en dollar in the euro box", en, QStringLiteral("$10"), Failed);
    row("en lira display text", en, QStringLiteral("L. 1,936"), 19'360'000);
    // Ten thousand Lire written the Italian way is ten thousand under any settings.
    row("en lire grouped the other way", en, QStringLiteral("L. 10.000"), 100'000'000);
    row("en lire word, grouped the other way", en, QStringLiteral("10.000 lire"), 100'000'000);
    row("en pound sign, grouped the other way", en, QStringLiteral("\u00A3 2.000"), 20'000'000);
    row("en Lit., grouped the other way", en, QStringLiteral("Lit. 250.000"), 2'500'000'000);
    row("en a million, grouped the other way", en, QStringLiteral("1.000.000"), 10'000'000'000);
    row("en mark run into it, grouped the other way", en, QStringLiteral("L.10.000"), 100'000'000);
    row("en mark after it, grouped the other way", en, QStringLiteral("2.500 L."), 25'000'000);
    row("en negative, grouped the other way", en, QStringLiteral("-1.500"), -15'000'000);
    row("en separators mixed", en, QStringLiteral("1.000,500"), Failed);
    row("en a leading zero is no group", en, QStringLiteral("0.500"), Failed);
    euroRow("en euro keeps the settings", en, QStringLiteral("10.000"), 100'000);
    row("en one decimal of a lira", en, QStringLiteral("1.5"), 15'000);
    row("en two decimals of a lira", en, QStringLiteral("L. 10.50"), 105'000);
    row("en four decimals of a lira", en, QStringLiteral("10.0005"), 100'005);
    row("en lire grouped the English way", en, QStringLiteral("L. 10,000"), 100'000'000);
    euroRow("en euro with three decimals", en, QStringLiteral("1.859"), 18'590);
    row("C lire grouped the other way", QStringLiteral("C"), QStringLiteral("L. 10.000"),
        100'000'000);
    row("ch lire grouped the other way", QStringLiteral("de_CH"), QStringLiteral("L. 10.000"),
        100'000'000);

    const QString de = QStringLiteral("de_DE");
    row("de grouped", de, QStringLiteral("1.234,50"), 12'345'000);
    row("de decimal comma", de, QStringLiteral("1,5"), 15'000);
    row("de lire grouped with a comma", de, QStringLiteral("L. 1,500"), 15'000'000);

    const QString fr = QStringLiteral("fr_FR");
    row("fr locale's own group", fr,
        QLocale(fr).groupSeparator().prepend(u'1') + QStringLiteral("234,50"), 12'345'000);
    row("fr narrow no-break group", fr, QStringLiteral("1\u202F234,50"), 12'345'000);
    row("fr no-break group", fr, QStringLiteral("1\u00A0234,50"), 12'345'000);
    row("fr plain space group", fr, QStringLiteral("1 234,50"), 12'345'000);
    row("fr short group", fr, QStringLiteral("1 23,5"), Failed);
    row("fr lire grouped with a comma", fr, QStringLiteral("L. 1,500"), 15'000'000);

    const QString ch = QStringLiteral("de_CH");
    row("ch typographic apostrophe", ch, QStringLiteral("1\u2019234.50"), 12'345'000);
    row("ch straight apostrophe", ch, QStringLiteral("1'234.50"), 12'345'000);
    row("ch decimal point", ch, QStringLiteral("0.05"), 500);
    euroRow("ch francs are no euro", ch, QStringLiteral("CHF 10"), Failed);

    // Where the locale's own currency symbol is a bare L.
    // Where the minus sign is U+2212, the keyboard's hyphen-minus still reads.
    row("sv hyphen-minus", QStringLiteral("sv_SE"), QStringLiteral("-5"), -50'000);
    row("hn lira display text", QStringLiteral("es_HN"), QStringLiteral("L. 9,681"), 96'810'000);
}

void tst_Amount::readCurrency()
{
    QFETCH(QString, locale);
    QFETCH(bool, euro);
    QFETCH(QString, text);
    QFETCH(qint64, count);

    const auto read
        = ReadCurrency(utf16View(text), euro ? Money::Euro : Money::Lire, formatOf(locale));
    if (count == Failed) {
        QVERIFY2(read == ConversionFailed,
                 qPrintable(QString::number(read ? read->value.count : 0)));
    } else {
        QVERIFY(read.has_value());
        QCOMPARE(read->value.count, count);
    }
}

void tst_Amount::conversionIsExact_data()
{
    QTest::addColumn<bool>("fromEuro");
    QTest::addColumn<qint64>("count");
    QTest::addColumn<qint64>("result");
    QTest::addColumn<QString>("written"); // read under it_IT instead of the count

    // Exact results worked out with decimal arithmetic, rounded half away from zero.
    auto row = [](const char *name, bool fromEuro, qint64 count, qint64 result) {
        QTest::newRow(name) << fromEuro << count << result << QString();
    };
    auto writtenRow = [](const char *name, bool fromEuro, const char16_t *text, qint64 result) {
        QTest::newRow(name) << fromEuro << qint64(0) << result << QString::fromUtf16(text);
    };
    // Digits past the fourth decimal count, not a value rounded to four first.
    writtenRow("sixth decimal keeps below the half", true, u"1000,000258", 1'936'270);
    writtenRow("sixth decimal of a small amount", true, u"0,000258", 0);
    writtenRow("negative sixth decimal", true, u"-1000,000258", -1'936'270);
    writtenRow("eighteenth decimal stays below the half", true, u"49,999999999999999999", 96'813);
    row("a million lire", false, 10'000'000'000, 51'646);
    row("five lire", false, 50'000, 0);
    row("one euro", true, 10'000, 1'936);
    row("hundred euro", true, 1'000'000, 193'627);
    row("tiny euro amount", true, 2, 0);
    row("minus five euro", true, -50'000, -9'681);
    // Exact halves in decimal, just below them in binary: they round away.
    row("fifty euro", true, 500'000, 96'814);
    row("minus fifty euro", true, -500'000, -96'814);
    row("half lira far up", true, 516'456'899'500'000, 100'000'000'079'487);
    // Where a double's fifteen digits round once too often.
    row("one lira below a rounding of the double", true, 5'164'766'311, 1'000'038'206);
    row("one cent below a rounding of the double", false, 193'627'000'096'813, 1'000'000'000);
    row("largest euro amount", true, std::numeric_limits<qint64>::max(), 1'785'893'857'380'079'675);
    row("smallest euro amount", true, std::numeric_limits<qint64>::min(),
        -1'785'893'857'380'079'675);
    row("largest lire amount", false, std::numeric_limits<qint64>::max(), 47'634'741'213'027);
    row("smallest lire amount", false, std::numeric_limits<qint64>::min(), -47'634'741'213'027);
}

void tst_Amount::conversionIsExact()
{
    QFETCH(bool, fromEuro);
    QFETCH(qint64, count);
    QFETCH(qint64, result);
    QFETCH(QString, written);
    if (!written.isEmpty()) {
        const auto amount = ReadCurrency(utf16View(written), fromEuro ? Money::Euro : Money::Lire,
                                         formatOf(QStringLiteral("it_IT")));
        QVERIFY(amount);
        QCOMPARE(fromEuro ? wholeLire(*amount) : euroCents(amount->value), result);
        return;
    }
    QCOMPARE(fromEuro ? wholeLire(Currency{count}) : euroCents(Currency{count}), result);
}

void tst_Amount::formatNumber_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<qint64>("units");
    QTest::addColumn<bool>("euro");
    QTest::addColumn<QString>("expected");

    const QString it = QStringLiteral("it_IT");
    auto row = [](const char *name, const QString &locale, qint64 units, bool euro,
                  const QString &expected) {
        QTest::newRow(name) << locale << units << euro << expected;
    };
    row("it cents", it, 51'646, true, QStringLiteral("516,46"));
    row("it below a euro", it, 5, true, QStringLiteral("0,05"));
    row("it below a euro negative", it, -5, true, QStringLiteral("-0,05"));
    row("it zero", it, 0, true, QStringLiteral("0,00"));
    row("it zero lire", it, 0, false, QStringLiteral("0"));
    row("it lire", it, 1'936, false, QStringLiteral("1.936"));
    row("it negative lire", it, -9'681, false, QStringLiteral("-9.681"));
    row("it group boundary", it, 999'999, false, QStringLiteral("999.999"));
    row("it every digit written", it, 1'785'893'857'380'079'675, false,
        QStringLiteral("1.785.893.857.380.079.675"));
    row("it smallest", it, std::numeric_limits<qint64>::min(), false,
        QStringLiteral("-9.223.372.036.854.775.808"));
    row("en grouped", QStringLiteral("en_US"), 123'450, true, QStringLiteral("1,234.50"));
    row("de grouped", QStringLiteral("de_DE"), 123'450, true, QStringLiteral("1.234,50"));
    row("fr grouped", QStringLiteral("fr_FR"), 123'450, true,
        QLocale(QStringLiteral("fr_FR")).groupSeparator().prepend(u'1') + QStringLiteral("234,50"));
    row("ch grouped", QStringLiteral("de_CH"), 123'450, true,
        QLocale(QStringLiteral("de_CH")).groupSeparator().prepend(u'1') + QStringLiteral("234.50"));
}

void tst_Amount::formatNumber()
{
    QFETCH(QString, locale);
    QFETCH(qint64, units);
    QFETCH(bool, euro);
    QFETCH(QString, expected);

    const std::u16string text
        = FormatNumber(units, euro ? EuroPattern : LirePattern, formatOf(locale));
    QCOMPARE(QString::fromStdU16String(text), expected);
}

// Each box's own display text reads back in every locale Qt knows, so that
// editing a converted amount converts it again.
void tst_Amount::displayTextsReadBackInEveryLocale()
{
    const QList<QLocale> locales
        = QLocale::matchingLocales(QLocale::AnyLanguage, QLocale::AnyScript, QLocale::AnyTerritory);
    QVERIFY(locales.size() > 100);
    for (const QLocale &locale : locales) {
        const NumberFormat format = numberFormatFor(locale);
        for (const qint64 units :
             {0LL, 5LL, -5LL, 99'999LL, 123'456'789LL, -98'765'432'101LL, 92'233'720'368'547LL}) {
            const std::u16string euro
                = std::u16string(EuroPrefix) + FormatNumber(units, EuroPattern, format);
            const std::u16string lire
                = std::u16string(LirePrefix) + FormatNumber(units, LirePattern, format);
            const auto euroRead = ReadCurrency(euro, Money::Euro, format);
            const auto lireRead = ReadCurrency(lire, Money::Lire, format);
            const auto context = [&](const std::u16string &text) {
                return qPrintable(locale.name() + u' ' + QString::fromStdU16String(text));
            };
            QVERIFY2(euroRead && euroRead->value.count == units * 100, context(euro));
            QVERIFY2(lireRead && lireRead->value.count == units * 10'000, context(lire));
        }
    }
}

void tst_Amount::regionalSettingsAgreeWithQt_data()
{
    QTest::addColumn<QString>("locale");
    for (const char *name : {"it_IT", "de_DE", "de_CH", "fr_FR", "es_HN", "en_US"})
        QTest::newRow(name) << QString::fromLatin1(name);
}

// The C library's settings, which the program reads, and Qt's, which the
// tests above are written with, are one and the same where it matters.
void tst_Amount::regionalSettingsAgreeWithQt()
{
    QFETCH(QString, locale);
    const QByteArray before = qgetenv("LC_ALL");
    qputenv("LC_ALL", (locale + QStringLiteral(".UTF-8")).toLatin1());
    const NumberFormat regional = regionalNumberFormat();
    qputenv("LC_ALL", before);
    const NumberFormat qt = formatOf(locale);
    QCOMPARE(QString::fromStdU16String(regional.decimal), QString::fromStdU16String(qt.decimal));
    QCOMPARE(QString::fromStdU16String(regional.group), QString::fromStdU16String(qt.group));
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
