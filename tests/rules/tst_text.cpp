// SPDX-License-Identifier: MIT
// Text in and out where no toolkit does it: UTF-8 both ways, the messages'
// slots, and the compiled catalogue the Windows program reads itself.
#include "rules/catalogue.h"
#include "rules/messages.h"
#include "rules/utf8.h"

#include <QFile>
#include <QTest>

#include <string>

using namespace Monvert;

class tst_Text : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void decodesUtf8_data();
    void decodesUtf8();
    void encodesUtf8_data();
    void encodesUtf8();
    void fillsInSlots_data();
    void fillsInSlots();
    void looksUpTheItalianCatalogue_data();
    void looksUpTheItalianCatalogue();
};

void tst_Text::decodesUtf8_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    const QString bad(QChar(0xFFFD));
    QTest::newRow("ASCII") << QByteArray("L. 1.000") << QStringLiteral("L. 1.000");
    QTest::newRow("two, three and four bytes") << QByteArray("\xC3\xA8\xE2\x82\xAC\xF0\x9F\x98\x80")
                                               << QStringLiteral("\u00E8\u20AC\U0001F600");
    QTest::newRow("an overlong form, each byte replaced") << QByteArray("\xC0\x80") << bad + bad;
    QTest::newRow("a surrogate written in UTF-8") << QByteArray("\xED\xA0\x80") << bad + bad + bad;
    QTest::newRow("past U+10FFFF") << QByteArray("\xF4\x90\x80\x80") << bad + bad + bad + bad;
    QTest::newRow("a sequence cut at the end")
        << QByteArray("1\xE2\x82") << QStringLiteral("1") + bad + bad;
    QTest::newRow("a lone continuation byte") << QByteArray("1\x80"
                                                            "2")
                                              << QStringLiteral("1") + bad + QStringLiteral("2");
    QTest::newRow("Latin-1 is not UTF-8") << QByteArray("1\xA0"
                                                        "000")
                                          << QStringLiteral("1") + bad + QStringLiteral("000");
}

void tst_Text::decodesUtf8()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    std::u16string decoded = u"what was there before";
    decodeUtf8(std::string_view(bytes.constData(), std::size_t(bytes.size())), decoded);
    QCOMPARE(QString::fromStdU16String(decoded), text);
}

void tst_Text::encodesUtf8_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("a narrow no-break space") << QStringLiteral("1\u202F000")
                                             << QByteArray("1\xE2\x80\xAF"
                                                           "000");
    QTest::newRow("a surrogate pair is one character")
        << QStringLiteral("\U0001F600") << QByteArray("\xF0\x9F\x98\x80");
    QTest::newRow("a lone surrogate") << QString(QChar(0xD800)) << QByteArray("\xEF\xBF\xBD");
}

void tst_Text::encodesUtf8()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    std::string encoded = "kept ";
    encodeUtf8(text.toStdU16String(), encoded);
    QCOMPARE(QByteArray::fromStdString(encoded), "kept " + bytes);
}

void tst_Text::fillsInSlots_data()
{
    QTest::addColumn<QString>("message");
    QTest::addColumn<QStringList>("values");
    QTest::addColumn<QString>("filled");
    QTest::newRow("in order") << QStringLiteral("line %s: not an amount: %s")
                              << QStringList{"3", "abc"}
                              << QStringLiteral("line 3: not an amount: abc");
    QTest::newRow("a value's own %s stays")
        << QStringLiteral("%s!") << QStringList{"100%s"} << QStringLiteral("100%s!");
    QTest::newRow("fewer values than slots")
        << QStringLiteral("%s and %s") << QStringList{"a"} << QStringLiteral("a and ");
    QTest::newRow("no slot") << QStringLiteral("unknown error") << QStringList{"a"}
                             << QStringLiteral("unknown error");
}

void tst_Text::fillsInSlots()
{
    QFETCH(QString, message);
    QFETCH(QStringList, values);
    const std::string text = message.toStdString();
    const std::string filled = values.size() == 1
        ? filledIn(text.c_str(), {values.at(0).toStdString()})
        : filledIn(text.c_str(), {values.at(0).toStdString(), values.at(1).toStdString()});
    QTEST(QString::fromStdString(filled), "filled");
}

void tst_Text::looksUpTheItalianCatalogue_data()
{
    QTest::addColumn<QByteArray>("english");
    QTest::addColumn<QByteArray>("italian"); // empty: not found
    QTest::addColumn<int>("cutTo"); // the catalogue's first bytes only; -1: whole
    QTest::newRow("a message") << QByteArray("unknown error") << QByteArray("errore sconosciuto")
                               << -1;
    QTest::newRow("the first message")
        << QByteArray("--from-lire and --from-euro do not go together")
        << QByteArray("--from-lire e --from-euro non vanno insieme") << -1;
    QTest::newRow("one it does not have") << QByteArray("no such message") << QByteArray() << -1;
    QTest::newRow("a catalogue cut short") << QByteArray("unknown error") << QByteArray() << 64;
    QTest::newRow("no catalogue at all") << QByteArray("unknown error") << QByteArray() << 0;
}

void tst_Text::looksUpTheItalianCatalogue()
{
    QFETCH(QByteArray, english);
    QFETCH(QByteArray, italian);
    QFETCH(int, cutTo);
    QFile file(QStringLiteral(MONVERT_CATALOGUE_IT));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QByteArray catalogue = file.readAll();
    if (cutTo >= 0)
        catalogue.truncate(cutTo);
    const auto found
        = lookUp(std::string_view(catalogue.constData(), std::size_t(catalogue.size())),
                 std::string_view(english.constData(), std::size_t(english.size())));
    QCOMPARE(found.has_value(), !italian.isEmpty());
    if (found) {
        QCOMPARE(QByteArray(found->data(), qsizetype(found->size())), italian);
        QCOMPARE(found->data()[found->size()], '\0');
    }
}

QTEST_APPLESS_MAIN(tst_Text)
#include "tst_text.moc"
