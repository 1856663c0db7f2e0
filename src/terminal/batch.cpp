// SPDX-License-Identifier: MIT
#include "terminal/batch.h"

#include "convert/amount.h"
#include "convert/regional.h"

#include <QFile>
#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>
#include <array>
#include <cctype>
#include <optional>
#include <string>

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

class LineConverter
{
public:
    LineConverter(Money from, bool numberOnly, std::FILE *out, std::FILE *errors)
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
        m_decoder.resetState();
        m_text.resize(std::size_t(m_decoder.requiredSpace(qsizetype(line.size()))));
        auto *start = reinterpret_cast<QChar *>(m_text.data());
        const QChar *end
            = m_decoder.appendToBuffer(start, QByteArrayView(line.data(), qsizetype(line.size())));
        const std::u16string_view text(m_text.data(), std::size_t(end - start));

        // No box cuts a line, so blanks around it do not count against the limit.
        const auto amount
            = cut ? std::nullopt : readBoxText(trimBlanks(text), m_from, m_format);
        if (amount)
            write(m_out, shown(*amount));
        else
            report(text, number, cut);
        std::fputc('\n', m_out);
    }

    [[nodiscard]] bool anyFailed() const { return m_failed; }

private:
    std::u16string shown(const Amount &amount) const
    {
        if (m_from == Money::Lire)
            return m_numberOnly ? FormatNumber(euroCents(amount.value), EuroPattern, m_format)
                                : euroDisplay(amount.value, m_format);
        return m_numberOnly ? FormatNumber(wholeLire(amount), LirePattern, m_format)
                            : lireDisplay(amount, m_format);
    }

    void write(std::FILE *file, std::u16string_view text)
    {
        m_encoder.resetState();
        m_bytes.resize(std::size_t(m_encoder.requiredSpace(qsizetype(text.size()))));
        const char *end = m_encoder.appendToBuffer(
            m_bytes.data(), QStringView(text.data(), qsizetype(text.size())));
        std::fwrite(m_bytes.data(), 1, std::size_t(end - m_bytes.data()), file);
    }

    // Control characters are shown escaped, so that a message stays on one
    // line and cannot drive the terminal.
    void report(std::u16string_view text, std::size_t number, bool cut)
    {
        m_failed = true;
        std::u16string shownText;
        std::size_t characters = 0;
        std::size_t i = 0;
        for (; i < text.size() && characters < ShownCharacters; ++i, ++characters) {
            const char16_t c = text[i];
            const bool control = c < 0x20 || c == 0x7F || (c >= 0x80 && c < 0xA0);
            if (control || c == u'\\') {
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
        std::fflush(m_out);
        std::fprintf(m_errors, "monvert: line %zu: not an amount: ", number);
        write(m_errors, shownText);
        std::fputc('\n', m_errors);
    }

    const Money m_from;
    const bool m_numberOnly;
    const NumberFormat m_format;
    std::FILE *m_out;
    std::FILE *m_errors;
    QStringDecoder m_decoder{QStringDecoder::Utf8};
    QStringEncoder m_encoder{QStringEncoder::Utf8};
    std::u16string m_text;
    std::string m_bytes;
    bool m_failed = false;
};

// Line by line, a block at a time: memory stays that of one block and one
// line however long the input, and a line too long for a box is not kept
// whole. QFile hands over what has arrived rather than waiting for a full
// block, so an amount typed at the terminal converts as soon as it is entered.
void convertStream(LineConverter &converter, std::FILE *in)
{
    QFile input;
    if (!input.open(in, QIODevice::ReadOnly | QIODevice::Unbuffered))
        return;
    std::array<char, 1 << 16> block{};
    std::string line; // the start of a line that runs past the block
    bool cut = false;
    std::size_t number = 0;
    const auto keep = [&](std::string_view piece) {
        cut = cut || line.size() + piece.size() > LongestLine;
        line.append(piece.substr(0, LongestLine - std::min(LongestLine, line.size())));
    };
    for (qint64 read; (read = input.read(block.data(), qint64(block.size()))) > 0;) {
        std::string_view rest(block.data(), std::size_t(read));
        for (std::size_t end; (end = rest.find('\n')) != std::string_view::npos;
             rest.remove_prefix(end + 1)) {
            const std::string_view piece = rest.substr(0, end);
            if (line.empty() && !cut) {
                converter.convert(piece, ++number, piece.size() > LongestLine);
                continue;
            }
            keep(piece);
            converter.convert(line, ++number, cut);
            line.clear();
            cut = false;
        }
        keep(rest);
    }
    if (!line.empty() || cut)
        converter.convert(line, ++number, cut);
}

int usageError(std::FILE *errors, const std::string &what)
{
    std::fprintf(errors, "monvert: %s\n", what.c_str());
    return 2;
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

int run(const std::vector<std::string_view> &arguments, std::FILE *in, std::FILE *out,
        std::FILE *errors)
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
                return usageError(errors, "--from-lire and --from-euro do not go together");
            from = chosen;
        } else {
            return usageError(errors, "unknown option " + std::string(argument));
        }
    }
    if (!from)
        return usageError(errors, "--number goes with --from-lire or --from-euro");

    LineConverter converter(*from, numberOnly, out, errors);
    if (amounts.empty()) {
        convertStream(converter, in);
    } else {
        std::size_t number = 0;
        for (const std::string_view amount : amounts)
            converter.convert(amount, ++number, amount.size() > LongestLine);
    }
    std::fflush(out);
    return converter.anyFailed() ? 1 : 0;
}

} // namespace Monvert::Terminal
