// SPDX-License-Identifier: MIT
#include "terminal/batch.h"

#include "rules/amount.h"
#include "rules/messages.h"
#include "rules/regional.h"
#include "rules/utf8.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>

#include <unistd.h>

namespace Monvert::Terminal {

namespace {

using namespace std::string_view_literals;

constexpr std::string_view FromLire = "--from-lire"sv;
constexpr std::string_view FromEuro = "--from-euro"sv;
constexpr std::string_view NumberOnly = "--number"sv;

// What a message shows of a text that did not read.
constexpr std::size_t ShownCharacters = 80;

// A line of more bytes than this holds more characters than a box.
constexpr std::size_t LongestLine = 4 * MaxTextLength;

// An option, as opposed to an amount such as -5.
bool isOption(std::string_view argument)
{
    const std::size_t name = argument.substr(0, 2) == "--"sv ? 2 : 1;
    return argument.size() > name && argument[0] == '-'
        && std::isalpha(static_cast<unsigned char>(argument[name]));
}

// Writes everything, or says why not.
int writeAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        // A mebibyte at most a call: Windows counts what it writes in an unsigned int.
        const auto chunk = static_cast<unsigned>(std::min<std::size_t>(bytes.size(), 1 << 20));
        const auto written = ::write(fd, bytes.data(), chunk);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return written < 0 ? errno : EIO;
        bytes.remove_prefix(std::size_t(written));
    }
    return 0;
}

// Control characters and the bidirectional formatting characters are shown
// escaped, so that a message stays on one line, in the order it was written,
// and cannot drive the terminal.
bool shownEscaped(char16_t c)
{
    return c < 0x20 || c == 0x7F || (c >= 0x80 && c < 0xA0) || c == u'\\'
        || (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
}

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
    void convert(std::string_view line, std::size_t number, bool cut = false)
    {
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        decodeUtf8(line, m_text);
        // No box cuts a line, so blanks around it do not count against the limit.
        const auto amount = cut ? std::nullopt : readBoxText(trimBlanks(m_text), m_from, m_format);
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
        std::u16string shownText;
        std::size_t characters = 0;
        std::size_t i = 0;
        for (; i < text.size() && characters < ShownCharacters; ++i, ++characters) {
            const char16_t c = text[i];
            if (shownEscaped(c)) {
                std::array<char, 8> escaped{};
                const int length = c == u'\\'
                    ? std::snprintf(escaped.data(), escaped.size(), "\\\\")
                    : c == u'\t' ? std::snprintf(escaped.data(), escaped.size(), "\\t")
                    : c < 0x80
                    ? std::snprintf(escaped.data(), escaped.size(), "\\x%02X", unsigned(c))
                    : std::snprintf(escaped.data(), escaped.size(), "\\u%04X", unsigned(c));
                shownText.append(escaped.data(), escaped.data() + length);
                continue;
            }
            shownText += c;
            // A surrogate pair is one character.
            if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size())
                shownText += text[++i];
        }
        if (cut || i < text.size())
            shownText += u"...";
        // The output so far first, for whoever reads both from one terminal.
        flush();
        std::string shownBytes;
        encodeUtf8(shownText, shownBytes);
        const std::string message = filledIn(translated("monvert: line %s: not an amount: %s\n"),
                                             {std::to_string(number), shownBytes});
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
    std::string line; // the start of a line that runs past the block
    bool cut = false;
    std::size_t number = 0;
    const auto keep = [&](std::string_view piece) {
        cut = cut || line.size() + piece.size() > LongestLine;
        line.append(piece.substr(0, LongestLine - std::min(LongestLine, line.size())));
    };
    for (;;) {
        const auto read = ::read(in, block.data(), static_cast<unsigned>(block.size()));
        if (read < 0 && errno == EINTR)
            continue;
        if (read < 0)
            return errno;
        if (read == 0)
            break;
        std::string_view rest(block.data(), std::size_t(read));
        for (std::size_t end; (end = rest.find('\n')) != std::string_view::npos;
             rest.remove_prefix(end + 1)) {
            const std::string_view piece = rest.substr(0, end);
            if (line.empty() && !cut) {
                converter.convert(piece, ++number, piece.size() > LongestLine);
            } else {
                keep(piece);
                converter.convert(line, ++number, cut);
                line.clear();
                cut = false;
            }
            if (converter.failed())
                return 0; // no one reads the answers any more: stop reading
        }
        keep(rest);
        if (!converter.flush())
            return 0;
    }
    if (!line.empty() || cut)
        converter.convert(line, ++number, cut);
    return 0;
}

int usageError(int errors, const std::string &what)
{
    (void)writeAll(errors, "monvert: " + what + "\n");
    return UsageError;
}

int ioFailure(int errors, const char *what, int error)
{
    (void)writeAll(errors, filledIn(what, {std::strerror(error)}));
    return IoFailed;
}

} // namespace

bool wanted(int argc, char **argv)
{
    for (int i = 1; i < argc && argv[i] != "--"sv; ++i) {
        if (argv[i] == FromLire || argv[i] == FromEuro || argv[i] == NumberOnly)
            return true;
    }
    return false;
}

int run(const std::vector<std::string_view> &arguments, int in, int out, int errors)
{
    std::optional<Money> from;
    bool numberOnly = false;
    std::vector<std::string_view> amounts;
    bool optionsEnded = false;
    for (const std::string_view argument : arguments) {
        if (!optionsEnded && argument == "--"sv) {
            optionsEnded = true;
        } else if (optionsEnded || !isOption(argument)) {
            amounts.push_back(argument);
        } else if (argument == NumberOnly) {
            numberOnly = true;
        } else if (argument == FromLire || argument == FromEuro) {
            const Money chosen = argument == FromLire ? Money::Lire : Money::Euro;
            if (from && *from != chosen)
                return usageError(errors,
                                  translated("--from-lire and --from-euro do not go together"));
            from = chosen;
        } else {
            return usageError(errors,
                              filledIn(translated("unknown option %s"), {std::string(argument)}));
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
            converter.convert(amount, ++number, amount.size() > LongestLine);
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
