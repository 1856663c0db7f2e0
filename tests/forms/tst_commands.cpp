// SPDX-License-Identifier: MIT
#include "forms/commands.h"

#include <QTest>

using Monvert::Forms::readShortcut;

class tst_Commands : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readShortcut_data()
    {
        QTest::addColumn<QString>("written");
        QTest::addColumn<QString>("key"); // empty: no shortcut
        QTest::addColumn<int>("modifiers"); // Ctrl 1, Shift 2, Alt 4, Meta 8

        QTest::newRow("Ctrl+Shift+F9") << "Ctrl+Shift+F9"
                                       << "F9" << 3;
        QTest::newRow("any case, other names") << "meta+alt+pageup"
                                               << "PgUp" << 12;
        QTest::newRow("the plus key") << "Ctrl++"
                                      << "+" << 1;
        QTest::newRow("a function key alone") << "F12"
                                              << "F12" << 0;
        QTest::newRow("a key alone by a longer name") << "scrolllock"
                                                      << "ScrollLock" << 0;
        QTest::newRow("F35") << "Ctrl+F35"
                             << "F35" << 1;
        QTest::newRow("a bare letter") << "L"
                                       << "" << 0;
        QTest::newRow("Shift and a letter") << "Shift+L"
                                            << "" << 0;
        QTest::newRow("F36") << "Ctrl+F36"
                             << "" << 0;
        QTest::newRow("F0") << "Ctrl+F0"
                            << "" << 0;
        QTest::newRow("F and more digits than an int holds") << "Ctrl+F99999999999"
                                                             << "" << 0;
        QTest::newRow("a modifier twice") << "Ctrl+Ctrl+L"
                                          << "" << 0;
        QTest::newRow("two keys") << "Ctrl+L+M"
                                  << "" << 0;
        QTest::newRow("a modifier alone") << "Ctrl"
                                          << "" << 0;
        QTest::newRow("nothing") << ""
                                 << "" << 0;
        QTest::newRow("an unknown name") << "Ctrl+Hyper"
                                         << "" << 0;
    }

    void readShortcut()
    {
        QFETCH(QString, written);
        QFETCH(QString, key);
        QFETCH(int, modifiers);

        const auto shortcut = ::readShortcut(written.toStdString());
        QCOMPARE(shortcut.has_value(), !key.isEmpty());
        if (!shortcut)
            return;
        QCOMPARE(QString::fromStdString(shortcut->key), key);
        QCOMPARE(shortcut->control * 1 + shortcut->shift * 2 + shortcut->alt * 4
                     + shortcut->meta * 8,
                 modifiers);
    }

    // One table for both systems: Windows has no key past F24.
    void namedKeysHaveBothSystemsCodes()
    {
        using Monvert::Forms::namedKeyCodes;
        QCOMPARE(namedKeyCodes("F24")->virtualKey, 0x87);
        QCOMPARE(namedKeyCodes("F25")->keysym, 0xFFD6U);
        QCOMPARE(namedKeyCodes("F25")->virtualKey, 0);
        QCOMPARE(namedKeyCodes(::readShortcut("Ctrl+Insert")->key)->keysym, 0xFF63U);
    }

    // One combination however written: given to both directions, it is one.
    void sameCombinationHoweverWritten()
    {
        QCOMPARE(::readShortcut("alt+ctrl+l"), ::readShortcut("Ctrl+Alt+L"));
        QVERIFY(::readShortcut("Ctrl+Alt+L") != ::readShortcut("Ctrl+Shift+L"));
    }

    // What another process is told, read back as the line the user sees;
    // bytes that are no outcome are none.
    void outcomeTold_data()
    {
        QTest::addColumn<QByteArray>("told");
        QTest::addColumn<QByteArray>("line"); // "-": no outcome

        using Outcome = Monvert::Forms::ClipboardOutcome;
        const auto of = [](Outcome::Kind kind, const char16_t *text) {
            return QByteArray::fromStdString(Monvert::Forms::packed(Outcome{kind, text}));
        };
        QTest::newRow("converted") << of(Outcome::Converted, u"") << QByteArray();
        QTest::newRow("a text outside the BMP, shown as the terminal shows it")
            << of(Outcome::NotAnAmount, u"\U0001F600\u200B1")
            << QByteArray("monvert: nothing converted: not an amount: \U0001F600\\u200B1\n");
        QTest::newRow("a long text, cut with its mark")
            << of(Outcome::NotAnAmount, std::u16string(300, u'7').c_str())
            << "monvert: nothing converted: not an amount: " + QByteArray(80, '7') + "...\n";
        QTest::newRow("nothing") << QByteArray() << QByteArray("-");
        QTest::newRow("an unknown kind") << QByteArray("9") << QByteArray("-");
    }

    void outcomeTold()
    {
        QFETCH(QByteArray, told);
        QFETCH(QByteArray, line);
        const auto outcome = Monvert::Forms::unpacked(told.toStdString());
        QCOMPARE(outcome.has_value(), line != "-");
        if (outcome)
            QCOMPARE(QByteArray::fromStdString(Monvert::Forms::outcomeLine(*outcome)), line);
    }
};

QTEST_APPLESS_MAIN(tst_Commands)
#include "tst_commands.moc"
