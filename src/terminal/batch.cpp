// SPDX-License-Identifier: MIT
#include "terminal/batch.h"

#include "rules/amount.h"
#include "rules/messages.h"
#include "rules/regional.h"
#include "rules/utf8.h"
#include "terminal/ready.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>

#include <unistd.h>

namespace Monvert::Terminal {

namespace {

// A line of more bytes than this holds more characters than a box.
constexpr std::size_t LongestLine = 4 * MaxTextLength;

// Writes everything, or says why not.
int writeAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        // A mebibyte at most a call: Windows counts what it writes in an unsigned int.
        const auto chunk = static_cast<unsigned>(std::min<std::size_t>(bytes.size(), 1 << 20));
        const auto written = ::write(fd, bytes.data(), chunk);
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0 && notReadyYet(errno)) {
            waitUntilReady(fd, Direction::Writing);
            continue;
        }
        if (written <= 0)
            return written < 0 ? errno : EIO;
        bytes.remove_prefix(std::size_t(written));
    }
    return 0;
}

// Standard input as UTF-8 text. A file may start with a byte order mark,
// which is no text: UTF-8's, or UTF-16's, which Windows' own tools write
// (PowerShell 5.1's >), and which makes the rest UTF-16.
class InputText
{
public:
    // Appends the text the bytes hold; `ended` says no more bytes come.
    void decode(std::string_view bytes, bool ended, std::string &text)
    {
        if (m_encoding == Encoding::Undecided) {
            m_pending.append(bytes);
            bytes = {};
            const std::string_view start = m_pending;
            constexpr std::string_view Utf8Mark = "\xEF\xBB\xBF";
            if (start.starts_with("\xFF\xFE") || start.starts_with("\xFE\xFF")) {
                m_encoding = start[0] == '\xFF' ? Encoding::Utf16LE : Encoding::Utf16BE;
                m_pending.erase(0, 2);
            } else if (start.starts_with(Utf8Mark)) {
                m_encoding = Encoding::Utf8;
                m_pending.erase(0, Utf8Mark.size());
            } else if (ended || !Utf8Mark.starts_with(start.substr(0, Utf8Mark.size()))) {
                m_encoding = Encoding::Utf8;
            } else {
                return; // a mark's first bytes so far
            }
            const std::string pending = std::move(m_pending);
            m_pending.clear();
            decode(pending, ended, text);
        }
        if (m_encoding == Encoding::Utf8) {
            text.append(bytes);
            return;
        }
        m_pending.append(bytes);
        std::size_t used = 0;
        for (; used + 1 < m_pending.size(); used += 2) {
            const auto first = static_cast<unsigned char>(m_pending[used]);
            const auto second = static_cast<unsigned char>(m_pending[used + 1]);
            m_units += char16_t(m_encoding == Encoding::Utf16LE ? first | second << 8
                                                                : first << 8 | second);
        }
        m_pending.erase(0, used);
        // A high surrogate waits for its other half.
        const bool halfPair = !ended && !m_units.empty() && isHighSurrogate(m_units.back());
        const std::u16string_view whole(m_units.data(), m_units.size() - (halfPair ? 1 : 0));
        encodeUtf8(whole, text);
        m_units.erase(0, whole.size());
        if (ended && !m_pending.empty()) // half a unit
            encodeUtf8(u"\uFFFD", text);
    }

private:
    enum class Encoding { Undecided, Utf8, Utf16LE, Utf16BE } m_encoding = Encoding::Undecided;
    std::string m_pending;
    std::u16string m_units;
};

class LineConverter
{
public:
    LineConverter(Money from, bool numberOnly, int out, int errors)
        : m_from(from)
        , m_numberOnly(numberOnly)
        , m_format(regionalNumberFormat())
        , m_out(out)
        , m_errors(errors)
    { }

    // One amount in, one line out: what the other box would show, or an
    // empty line that keeps the lines in step.
    // No box cuts a text before trimming it, so blanks around it do not count
    // against the limit.
    void convert(std::string_view line, std::size_t number, bool cut = false)
    {
        // A cut line is shown as far as it was kept. One zero at a line's end
        // is a C string's end, which some programs write out with it, and
        // not part of the text: the window's clipboard reads it so too.
        if (!cut && line.ends_with('\0'))
            line.remove_suffix(1);
        if (!cut)
            line = trimBlanks(line);
        cut = cut || line.size() > LongestLine;
        decodeUtf8(line.substr(0, LongestLine), m_text);
        const auto amount = cut ? std::nullopt : ReadCurrency(m_text, m_from, m_format);
        if (amount)
            encodeUtf8(shown(*amount), m_buffer);
        else
            report(m_text, number, cut);
        m_buffer += '\n';
        if (m_buffer.size() >= BufferSize)
            flush();
    }

    // Hands over what is converted; false once the output has failed.
    bool flush()
    {
        if (m_writeError == 0)
            m_writeError = writeAll(m_out, m_buffer);
        m_buffer.clear();
        return m_writeError == 0;
    }

    [[nodiscard]] bool failed() const { return m_writeError != 0; }
    [[nodiscard]] int writeError() const { return m_writeError; }
    [[nodiscard]] bool anyNotAmount() const { return m_notAmount; }

private:
    static constexpr std::size_t BufferSize = 1 << 16;

    std::u16string shown(const Amount &amount) const
    {
        if (m_from == Money::Lire)
            return m_numberOnly ? FormatNumber(euroCents(amount.value), EuroPattern, m_format)
                                : euroDisplay(amount.value, m_format);
        return m_numberOnly ? FormatNumber(wholeLire(amount), LirePattern, m_format)
                            : lireDisplay(amount, m_format);
    }

    void report(std::u16string_view text, std::size_t number, bool cut)
    {
        m_notAmount = true;
        // The output so far first, for whoever reads both from one terminal.
        flush();
        const std::string message = filledIn(translated("monvert: line %s: not an amount: %s\n"),
                                             {std::to_string(number), shownText(text, cut)});
        (void)writeAll(m_errors, message);
    }

    const Money m_from;
    const bool m_numberOnly;
    const NumberFormat m_format;
    const int m_out;
    const int m_errors;
    std::u16string m_text;
    std::string m_buffer;
    int m_writeError = 0;
    bool m_notAmount = false;
};

// Line by line, a block at a time: memory stays that of one block and one
// line however long the input, and a line too long for a box is not kept
// whole. A read hands over what has arrived; once it is converted, the
// output goes out before the next read waits, so a program that writes one
// amount and waits for its answer gets it at once, while a file still goes
// a block at a time. Returns the read's error, if any.
int convertStream(LineConverter &converter, int in)
{
    std::array<char, 1 << 16> block{};
    InputText input;
    // What has been read and not yet taken into lines: at most a block, and
    // the start of a character the block before cut.
    std::string unread;
    // The start of a line that runs past the block, without the blanks it
    // starts with; the blanks it ends with are held apart until more text
    // shows they are inside the line, so that only what a box would keep
    // counts against the limit.
    std::string line;
    std::string blanks;
    bool cut = false;
    bool open = false; // a line has begun in an earlier block
    std::size_t number = 0;
    const auto append = [&](std::string_view piece) {
        cut = cut || line.size() + piece.size() > LongestLine;
        line.append(piece.substr(0, LongestLine - std::min(LongestLine, line.size())));
    };
    const auto keep = [&](std::string_view piece) {
        const std::string_view text = trimBlanks(piece);
        if (text.empty()) {
            if (!line.empty())
                blanks.append(
                    piece.substr(0, LongestLine + 1 - std::min(LongestLine + 1, blanks.size())));
            return;
        }
        const std::size_t before = std::size_t(text.data() - piece.data());
        if (!line.empty()) {
            append(blanks);
            append(piece.substr(0, before));
        }
        blanks.clear();
        append(text);
        blanks.assign(piece.substr(before + text.size()));
    };
    const auto lineEnded = [&] {
        converter.convert(line, ++number, cut);
        line.clear();
        blanks.clear();
        cut = false;
        open = false;
    };
    for (;;) {
        const auto read = readInput(in, block.data(), static_cast<unsigned>(block.size()));
        if (read < 0 && errno == EINTR)
            continue;
        if (read < 0 && notReadyYet(errno)) {
            waitUntilReady(in, Direction::Reading);
            continue;
        }
        if (read < 0)
            return errno;
        if (read == 0)
            break;
        input.decode({block.data(), std::size_t(read)}, false, unread);
        // The start of a character the next block ends waits for it, so that
        // no blank is cut in two.
        const std::size_t carried = unfinishedUtf8(unread);
        std::string_view rest(unread.data(), unread.size() - carried);
        for (std::size_t end; (end = rest.find('\n')) != std::string_view::npos;
             rest.remove_prefix(end + 1)) {
            const std::string_view piece = rest.substr(0, end);
            if (!open) {
                converter.convert(piece, ++number);
            } else {
                keep(piece);
                lineEnded();
            }
            if (converter.failed())
                return 0; // no one reads the answers any more: stop reading
        }
        keep(rest);
        open = open || !rest.empty();
        unread.erase(0, unread.size() - carried);
        if (!converter.flush())
            return 0;
    }
    // A character the input never finished is no blank.
    input.decode({}, true, unread);
    keep(unread);
    if (open || !unread.empty())
        lineEnded();
    return 0;
}

int usageError(int errors, const std::string &what)
{
    (void)writeAll(errors, "monvert: " + what + "\n");
    return UsageError;
}

int ioFailure(int errors, const char *what, int error)
{
    (void)writeAll(errors, filledIn(what, {systemError(error)}));
    return IoFailed;
}

} // namespace

int run(const CommandLine &line, int in, int out, int errors)
{
    std::optional<Money> from;
    bool numberOnly = false;
    std::vector<std::string_view> amounts;
    for (const Argument &argument : line.arguments) {
        switch (argument.option) {
        case Option::EndOfOptions: break;
        case Option::Amount: amounts.push_back(argument.written); break;
        case Option::Number: numberOnly = true; break;
        case Option::FromLire:
        case Option::FromEuro: {
            const Money chosen = argument.option == Option::FromLire ? Money::Lire : Money::Euro;
            if (from && *from != chosen)
                return usageError(errors,
                                  translated("--from-lire and --from-euro do not go together"));
            from = chosen;
            break;
        }
        default:
            return usageError(
                errors, filledIn(translated("unknown option %s"), {std::string(argument.written)}));
        }
    }
    if (!from)
        return usageError(errors, translated("--number goes with --from-lire or --from-euro"));

    LineConverter converter(*from, numberOnly, out, errors);
    if (amounts.empty()) {
        if (const int error = convertStream(converter, in))
            return ioFailure(errors, translated("monvert: cannot read input: %s\n"), error);
    } else {
        std::size_t number = 0;
        for (const std::string_view amount : amounts) {
            converter.convert(amount, ++number);
            if (converter.failed())
                break;
        }
    }
    if (!converter.flush())
        return ioFailure(errors, translated("monvert: cannot write output: %s\n"),
                         converter.writeError());
    return converter.anyNotAmount() ? NotAnAmount : 0;
}

} // namespace Monvert::Terminal
