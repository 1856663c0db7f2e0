// SPDX-License-Identifier: MIT
#include "terminal/batch.h"

#include <QTest>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <unistd.h>

using namespace std::chrono_literals;

namespace {

// A file in memory, for what the terminal mode reads or writes.
int memoryFile(const QByteArray &contents = {})
{
    const int fd = memfd_create("tst_batch", MFD_CLOEXEC);
    if (fd >= 0 && !contents.isEmpty())
        (void)::write(fd, contents.constData(), std::size_t(contents.size()));
    ::lseek(fd, 0, SEEK_SET);
    return fd;
}

QByteArray contentsOf(int fd)
{
    QByteArray bytes(int(::lseek(fd, 0, SEEK_END)), '\0');
    (void)::pread(fd, bytes.data(), std::size_t(bytes.size()), 0);
    return bytes;
}

// The regional settings of one row: "LC_ALL=it_IT.UTF-8", only "LC_NUMERIC=...",
// or several of them apart by blanks.
void useSettings(const QString &assignments)
{
    for (const char *variable : {"LC_ALL", "LC_NUMERIC", "LANG"})
        ::unsetenv(variable);
    for (const QString &assignment : assignments.split(QLatin1Char(' '))) {
        const QStringList parts = assignment.split(QLatin1Char('='));
        ::setenv(parts.at(0).toLatin1().constData(), parts.at(1).toLatin1().constData(), 1);
    }
}

// How often the calling thread has slept in the kernel, waiting for something.
long sleepsSoFar()
{
    rusage usage{};
    ::getrusage(RUSAGE_THREAD, &usage);
    return usage.ru_nvcsw;
}

int run(const QStringList &arguments, int in, int out, int errors)
{
    std::vector<std::string> kept;
    for (const QString &argument : arguments)
        kept.push_back(argument.toStdString());
    const std::vector<std::string_view> views(kept.begin(), kept.end());
    return Monvert::Terminal::run(Monvert::readCommandLine(views), in, out, errors);
}

QByteArray repeated(const char *text, int times)
{
    return QByteArray(text).repeated(times);
}

} // namespace

class tst_Batch : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void convertsLineByLine_data();
    void convertsLineByLine();
    void messagesComeAfterTheOutputSoFar();
    void failedOutputStopsTheReading();
    void nonBlockingInputIsWaitedFor();
    void nonBlockingOutputIsWaitedFor();
};

void tst_Batch::convertsLineByLine_data()
{
    QTest::addColumn<QString>("settings");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QByteArray>("output");
    QTest::addColumn<QByteArray>("messages");
    QTest::addColumn<int>("status");

    const QString it = QStringLiteral("LC_ALL=it_IT.UTF-8");
    const QStringList fromLire{QStringLiteral("--from-lire")};
    const QByteArray noAmount = "monvert: line 1: not an amount: ";
    const QByteArray blanks = repeated(" ", 140'000);

    QTest::newRow("amounts as arguments")
        << it << QStringList{"--from-lire", "1000", "1000000"} << QByteArray()
        << QByteArray("Euro 0,52\nEuro 516,46\n") << QByteArray() << 0;
    QTest::newRow("from euro, the decimals past the fourth decide")
        << it << QStringList{"--from-euro", "1000,001849", "1000,00025"} << QByteArray()
        << QByteArray("L. 1.936.274\nL. 1.936.270\n") << QByteArray() << 0;
    QTest::newRow("from euro, --number, the decimals past the fourth decide")
        << it << QStringList{"--from-euro", "--number", "1000,001849", "1000,00025"} << QByteArray()
        << QByteArray("1.936.274\n1.936.270\n") << QByteArray() << 0;
    QTest::newRow("from lire, the fifth decimal decides")
        << it << QStringList{"--from-lire", "9,68135"} << QByteArray() << QByteArray("Euro 0,01\n")
        << QByteArray() << 0;
    QTest::newRow("from lire, --number, the fifth decimal decides")
        << it << QStringList{"--from-lire", "--number", "9,68135"} << QByteArray()
        << QByteArray("0,01\n") << QByteArray() << 0;
    QTest::newRow("lire grouped the other way are ten thousand, not ten")
        << QStringLiteral("LC_ALL=en_US.UTF-8")
        << QStringList{"--from-lire", "L. 10.000", "L. 10,000"} << QByteArray()
        << QByteArray("Euro 5.16\nEuro 5.16\n") << QByteArray() << 0;
    QTest::newRow("a second -- is an amount")
        << it << QStringList{"--from-lire", "--", "--", "1000"} << QByteArray()
        << QByteArray("\nEuro 0,52\n") << noAmount + "--\n"
        << 1;
    QTest::newRow("an overlong form of a no-break space is no blank")
        << it << fromLire << QByteArray("1000\xC0\xA0\n") << QByteArray("\n")
        << noAmount + "1000\uFFFD\uFFFD\n"
        << 1;
    QTest::newRow("blanks past the limit before an amount")
        << it << fromLire << blanks + "1000\n"
        << QByteArray("Euro 0,52\n") << QByteArray() << 0;
    QTest::newRow("blanks past the limit after an amount")
        << it << fromLire << "1000" + blanks + "\n2000\n"
        << QByteArray("Euro 0,52\nEuro 1,03\n") << QByteArray() << 0;
    QTest::newRow("blanks past the limit inside a text")
        << it << fromLire << "10" + blanks + "00\n"
        << QByteArray("\n") << noAmount + "10" + repeated(" ", 78) + "...\n"
        << 1;
    QTest::newRow("a line longer than a block is one line")
        << it << fromLire << repeated("x", 70'000) + "\nabc\n"
        << QByteArray("\n\n")
        << noAmount + repeated("x", 80) + "...\nmonvert: line 2: not an amount: abc\n"
        << 1;
    QTest::newRow("a last line without its end is counted")
        << it << fromLire << QByteArray("1\nabc") << QByteArray("Euro 0,00\n\n")
        << QByteArray("monvert: line 2: not an amount: abc\n") << 1;
    QTest::newRow("one zero at a line's end is a C string's end, as on the clipboard")
        << it << fromLire
        << QByteArray("1000\0\n1000\0\0\n10\0"
                      "00\n",
                      19)
        << QByteArray("Euro 0,52\n\n\n")
        << QByteArray("monvert: line 2: not an amount: 1000\\x00\n"
                      "monvert: line 3: not an amount: 10\\x0000\n")
        << 1;
    QTest::newRow("a CRLF line's CR is no part of the text")
        << it << fromLire << QByteArray("abc\r\n") << QByteArray("\n") << noAmount + "abc\n"
        << 1;
    // A byte order mark starts files Windows' own tools write: the first is
    // the encoding's mark; anywhere else it is a character, and shown.
    QTest::newRow("a UTF-8 byte order mark starts a file")
        << it << fromLire
        << QByteArray("\xEF\xBB\xBF"
                      "1000\n\xEF\xBB\xBF"
                      "1000\n")
        << QByteArray("Euro 0,52\n\n")
        << QByteArray("monvert: line 2: not an amount: \\uFEFF1000\n") << 1;
    QTest::newRow("UTF-16 with its mark, as PowerShell 5.1 writes it")
        << it << fromLire
        << QByteArray("\xFF\xFE"
                      "1\0"
                      "0\0"
                      "0\0"
                      "0\0\r\0\n\0\xA3\0 \0"
                      "5\0\r\0\n\0",
                      24)
        << QByteArray("Euro 0,52\nEuro 0,00\n") << QByteArray() << 0;
    // The mark, 32,765 units and the line's end fill a 64 KiB block up to
    // the first half of the next line's emoji.
    QTest::newRow("UTF-16, a pair cut by a block's end")
        << it << fromLire
        << QByteArray("\xFF\xFE") + QByteArray("x\0", 2).repeated(32'765)
            + QByteArray("\n\0\x3D\xD8\x00\xDE\n\0", 8)
        << QByteArray("\n\n")
        << noAmount + repeated("x", 80) + "...\nmonvert: line 2: not an amount: \U0001F600\n"
        << 1;
    QTest::newRow("UTF-16, big-endian") << it << fromLire
                                        << QByteArray("\xFE\xFF\0"
                                                      "1\0"
                                                      "0\0"
                                                      "0\0"
                                                      "0\0\n",
                                                      12)
                                        << QByteArray("Euro 0,52\n") << QByteArray() << 0;
    QTest::newRow("invisible and bidirectional characters and backslashes are shown")
        << it << fromLire << QByteArray("1\u200B0\u200E0\u200F\u2066\u2069\\\U000E0001\n")
        << QByteArray("\n") << noAmount + "1\\u200B0\\u200E0\\u200F\\u2066\\u2069\\\\\\U000E0001\n"
        << 1;
    QTest::newRow("a character outside the BMP counts once toward 80")
        << it << fromLire << repeated("\U0001F600", 80) + "\n"
        << QByteArray("\n") << noAmount + repeated("\U0001F600", 80) + "\n"
        << 1;
    QTest::newRow("a single-byte locale's no-break space")
        << QStringLiteral("LC_ALL=fr_FR.ISO-8859-1") << QStringList{"--from-euro", "1000"}
        << QByteArray() << QByteArray("L. 1\u00A0936\u00A0270\n") << QByteArray() << 0;
    QTest::newRow("the C locale groups with a comma")
        << QStringLiteral("LC_ALL=C") << QStringList{"--from-euro", "1000"} << QByteArray()
        << QByteArray("L. 1,936,270\n") << QByteArray() << 0;
    QTest::newRow("LC_ALL before LC_NUMERIC")
        << QStringLiteral("LC_NUMERIC=C LC_ALL=it_IT.UTF-8") << QStringList{"--from-euro", "1000"}
        << QByteArray() << QByteArray("L. 1.936.270\n") << QByteArray() << 0;
    // Blocks are 64 KiB: a first line of 65,533 bytes and its end put the
    // blank of "12 34" at a block's end, one byte less at the next one's start.
    for (const int filler : {65'532, 65'533})
        QTest::newRow(
            qPrintable(QStringLiteral("a blank at byte %1 of a line").arg(65'535 - filler)))
            << it << fromLire << repeated("x", filler) + "\n12 34\n"
            << QByteArray("\n\n")
            << noAmount + repeated("x", 80) + "...\nmonvert: line 2: not an amount: 12 34\n"
            << 1;
    QTest::newRow("narrow no-break spaces past the limit, one cut by a block's end")
        << it << fromLire << "1000" + repeated("\u202F", 45'000) + "\n"
        << QByteArray("Euro 0,52\n") << QByteArray() << 0;
    QTest::newRow("narrow no-break spaces past the limit before an amount")
        << it << fromLire << repeated("\u202F", 70'000) + "1000\n"
        << QByteArray("Euro 0,52\n") << QByteArray() << 0;
    QTest::newRow("no-break spaces past the limit after an amount")
        << it << fromLire << "1000" + repeated("\u00A0", 70'000) + "\n"
        << QByteArray("Euro 0,52\n") << QByteArray() << 0;
    QTest::newRow("LC_NUMERIC alone, its separators in its own character set")
        << QStringLiteral("LC_NUMERIC=fr_FR.UTF-8") << QStringList{"--from-euro", "1000"}
        << QByteArray() << QByteArray("L. 1\u202F936\u202F270\n") << QByteArray() << 0;
}

void tst_Batch::convertsLineByLine()
{
    QFETCH(QString, settings);
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, input);
    useSettings(settings);
    const int in = memoryFile(input);
    const int out = memoryFile();
    const int errors = memoryFile();

    QTEST(run(arguments, in, out, errors), "status");
    QTEST(contentsOf(out), "output");
    QTEST(contentsOf(errors), "messages");
    for (const int fd : {in, out, errors})
        ::close(fd);
}

// For whoever reads both from one terminal, each message stands after the
// answers to the lines before it.
void tst_Batch::messagesComeAfterTheOutputSoFar()
{
    useSettings(QStringLiteral("LC_ALL=it_IT.UTF-8"));
    const int in = memoryFile("1000\nabc\n2000\n");
    const int terminal = memoryFile();
    QCOMPARE(run({QStringLiteral("--from-lire")}, in, terminal, terminal), 1);
    QCOMPARE(contentsOf(terminal),
             QByteArray("Euro 0,52\nmonvert: line 2: not an amount: abc\n\nEuro 1,03\n"));
    ::close(in);
    ::close(terminal);
}

// No one reads the answers any more: the rest of the input is left unread.
void tst_Batch::failedOutputStopsTheReading()
{
    useSettings(QStringLiteral("LC_ALL=it_IT.UTF-8"));
    // Long lines, short answers: a block's answers fit the output buffer, so
    // the failure shows only when the block's answers are handed over.
    const QByteArray input = (QByteArray(60, ' ') + "1000\n").repeated(100'000);
    const int in = memoryFile(input);
    const int full = ::open("/dev/full", O_WRONLY | O_CLOEXEC);
    const int errors = memoryFile();
    QCOMPARE(run({QStringLiteral("--from-lire")}, in, full, errors), 3);
    QVERIFY2(::lseek(in, 0, SEEK_CUR) < input.size() / 10, "read on after the output failed");
    QVERIFY(contentsOf(errors).startsWith("monvert: cannot write output: "));
    for (const int fd : {in, full, errors})
        ::close(fd);
}

// A parent may hand over a non-blocking pipe: "not yet" is no end of input,
// and it is waited for without spinning. A program that writes one amount
// and waits for its answer gets it before it writes the next.
void tst_Batch::nonBlockingInputIsWaitedFor()
{
    useSettings(QStringLiteral("LC_ALL=it_IT.UTF-8"));
    int pipe[2];
    QVERIFY(::pipe2(pipe, O_CLOEXEC) == 0);
    ::fcntl(pipe[0], F_SETFL, ::fcntl(pipe[0], F_GETFL) | O_NONBLOCK);
    const int out = memoryFile();
    const int errors = memoryFile();
    bool answered = false;
    std::thread writer([end = pipe[1], out, &answered] {
        std::this_thread::sleep_for(200ms);
        (void)::write(end, "1000\n", 5);
        for (int i = 0; i < 3000 && !answered; ++i) {
            std::this_thread::sleep_for(10ms);
            answered = contentsOf(out) == "Euro 0,52\n";
        }
        std::this_thread::sleep_for(200ms);
        (void)::write(end, "2000\n", 5);
        ::close(end);
    });
    const long sleeps = sleepsSoFar();
    const int status = run({QStringLiteral("--from-lire")}, pipe[0], out, errors);
    const long slept = sleepsSoFar() - sleeps;
    writer.join();
    QCOMPARE(status, 0);
    QVERIFY2(answered, "the first amount was answered only once the input ended");
    QVERIFY2(slept > 0, "the wait never slept: it spun");
    QCOMPARE(contentsOf(out), QByteArray("Euro 0,52\nEuro 1,03\n"));
    for (const int fd : {pipe[0], out, errors})
        ::close(fd);
}

// A non-blocking output that is full for now is waited for too, not taken
// for a failure.
void tst_Batch::nonBlockingOutputIsWaitedFor()
{
    useSettings(QStringLiteral("LC_ALL=it_IT.UTF-8"));
    int pipe[2];
    QVERIFY(::pipe2(pipe, O_CLOEXEC) == 0);
    ::fcntl(pipe[1], F_SETFL, ::fcntl(pipe[1], F_GETFL) | O_NONBLOCK);
    QByteArray received;
    std::thread reader([end = pipe[0], &received] {
        char bytes[4096];
        for (ssize_t got; (got = ::read(end, bytes, sizeof bytes)) > 0;) {
            received.append(bytes, got);
            std::this_thread::sleep_for(1ms);
        }
    });
    const int in = memoryFile(repeated("1000\n", 30'000));
    const int errors = memoryFile();
    const int status = run({QStringLiteral("--from-lire")}, in, pipe[1], errors);
    ::close(pipe[1]);
    reader.join();
    QCOMPARE(status, 0);
    QCOMPARE(received, repeated("Euro 0,52\n", 30'000));
    for (const int fd : {in, pipe[0], errors})
        ::close(fd);
}

QTEST_APPLESS_MAIN(tst_Batch)
#include "tst_batch.moc"
