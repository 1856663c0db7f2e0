// SPDX-License-Identifier: MIT
// Replays random sequences of what a user and other programs do to the window
// (keys, Enter, program sets, label clicks and double-clicks, clipboard
// contents) against a real Form1 on the offscreen platform, and checks after
// every step what must always hold:
//  - a program's set of a box never changes the direction of conversion;
//  - after a conversion the other box shows exactly the display text of the
//    source amount;
//  - a step that converts nothing changes neither the other box nor, unless
//    it is Enter or a copy, the clipboard.
#include "driving.h"
#include "number_format.h"
#include "window/form1.h"

#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMimeData>
#include <QMouseEvent>

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>

using namespace Monvert;
using namespace Qt::Literals::StringLiterals;

namespace {

void check(bool condition, const char *what)
{
    if (!condition) {
        std::fprintf(stderr, "invariant broken: %s\n", what);
        std::abort();
    }
}

// Reads the fuzzer's bytes one at a time; past the end every read is zero.
class Input
{
public:
    Input(const std::uint8_t *data, std::size_t size)
        : m_data(data)
        , m_size(size)
    { }
    [[nodiscard]] bool atEnd() const { return m_at >= m_size; }
    std::uint8_t next() { return m_at < m_size ? m_data[m_at++] : 0; }

    // A short text from an alphabet rich in what amounts are made of.
    QString text()
    {
        static constexpr std::array<char16_t, 32> Alphabet{u'0',
                                                           u'1',
                                                           u'2',
                                                           u'5',
                                                           u'9',
                                                           u',',
                                                           u'.',
                                                           u'-',
                                                           u'+',
                                                           u' ',
                                                           u'E',
                                                           u'e',
                                                           u'u',
                                                           u'r',
                                                           u'o',
                                                           u'L',
                                                           u'\u00A0',
                                                           u'\u202F',
                                                           u'\u200F',
                                                           u'\u20AC',
                                                           u'\r',
                                                           u'\n',
                                                           u'\t',
                                                           u'\u2212',
                                                           u'a',
                                                           u'0',
                                                           u'0',
                                                           u'3',
                                                           u'\uFEFF',
                                                           u'\u0000',
                                                           char16_t(0xD800),
                                                           u'7'};
        const int length = next() % 24;
        QString result;
        for (int i = 0; i < length; ++i)
            result.append(QChar(Alphabet[next() % Alphabet.size()]));
        return result;
    }

private:
    const std::uint8_t *m_data;
    std::size_t m_size;
    std::size_t m_at = 0;
};

const NumberFormat &italian()
{
    static const NumberFormat format = numberFormatFor(QLocale(QLocale::Italian, QLocale::Italy));
    return format;
}

using Driving::key;
using Driving::mouse;

struct Clipboard
{
    QString text;
    bool hasImage = false;
    bool operator==(const Clipboard &) const = default;
};

Clipboard clipboardNow()
{
    const QMimeData *data = QGuiApplication::clipboard()->mimeData();
    return {QGuiApplication::clipboard()->text(), data && data->hasImage()};
}

enum class Step { Type, Erase, Enter, Set, Click, DoubleClick, Copy, Select, Tab, Press };

void run(Input &input)
{
    Form1 form(italian());
    form.Form_Load();
    Converter &converter = form.converter;
    QImage picture(2, 2, QImage::Format_RGB32);
    picture.fill(Qt::blue);
    QGuiApplication::clipboard()->clear();

    for (int steps = 0; !input.atEnd() && steps < 64; ++steps) {
        const std::uint8_t op = input.next();
        const auto step = Step(op % 10);
        const bool inLire = (op / 10) % 2 == 0;
        Forms::TextBox &box = inLire ? form.Text1 : form.Text2;

        const std::uint64_t conversionsBefore = converter.conversions();
        const Clipboard clipboardBefore = clipboardNow();
        const QString text1Before = Driving::text(form.Text1);
        const QString text2Before = Driving::text(form.Text2);
        const std::int16_t directionBefore = converter.EditingLire;
        bool writesClipboard = false;
        Forms::TextBox *edited = nullptr;

        switch (step) {
        case Step::Type: {
            const QString typed = input.text().left(1);
            key(Forms::widgetOf(box),
                typed.isEmpty() ? int(Qt::Key_unknown) : typed.at(0).unicode(), typed);
            edited = &box;
            break;
        }
        case Step::Erase:
            key(Forms::widgetOf(box), input.next() % 2 ? Qt::Key_Backspace : Qt::Key_Delete, {});
            edited = &box;
            break;
        case Step::Enter:
            // An out-of-date amount is never copied.
            writesClipboard = !(inLire ? form.Text2 : form.Text1).OutOfDate();
            key(Forms::widgetOf(box), input.next() % 2 ? Qt::Key_Return : Qt::Key_Enter, {});
            break;
        case Step::Set: {
            box.SetText(input.text().toStdU16String());
            check(converter.EditingLire == directionBefore,
                  "a program's set never changes the direction");
            edited = &box;
            break;
        }
        case Step::Click:
        case Step::DoubleClick: {
            const std::uint8_t which = input.next() % 3;
            QLabel *label = which == 0 ? Forms::widgetOf(form.Label1)
                : which == 1           ? Forms::widgetOf(form.Label2)
                                       : Forms::widgetOf(form.Label3);
            if (step == Step::Click)
                Driving::click(label);
            else
                Driving::doubleClick(label);
            edited = which == 1 ? &form.Text2 : &form.Text1;
            for (Forms::Label *each : {&form.Label1, &form.Label2, &form.Label3})
                check(each->FontBold(), "every label is bold once the button is up");
            if (step == Step::DoubleClick && which == 2)
                check(form.Width() == FoldedWidth || form.Width() == UnfoldedWidth,
                      "the window is folded or unfolded");
            break;
        }
        case Step::Copy: {
            const std::uint8_t kind = input.next() % 4;
            if (kind == 0)
                QGuiApplication::clipboard()->clear();
            else if (kind == 1)
                QGuiApplication::clipboard()->setImage(picture);
            else
                QGuiApplication::clipboard()->setText(input.text());
            writesClipboard = true;
            break;
        }
        case Step::Select:
            Forms::widgetOf(box)->setSelection(input.next() % 8, input.next() % 8);
            break;
        case Step::Tab: key(Forms::widgetOf(box), Qt::Key_Tab, {}); break;
        case Step::Press:
            mouse(inLire ? Forms::widgetOf(form.Label1) : Forms::widgetOf(form.Label2),
                  {QEvent::MouseButtonPress});
            check(!(inLire ? form.Label1 : form.Label2).FontBold(), "a held label is not bold");
            mouse(inLire ? Forms::widgetOf(form.Label1) : Forms::widgetOf(form.Label2),
                  {QEvent::MouseButtonRelease});
            edited = inLire ? &form.Text1 : &form.Text2;
            break;
        }

        if (converter.conversions() != conversionsBefore) {
            // The last conversion of the step decides what the other box shows.
            const bool fromLire = converter.EditingLire == True;
            Forms::TextBox &source = fromLire ? form.Text1 : form.Text2;
            Forms::TextBox &target = fromLire ? form.Text2 : form.Text1;
            const auto amount = ReadCurrency(utf16View(Driving::text(source)),
                                             fromLire ? Money::Lire : Money::Euro, italian());
            check(amount.has_value(), "a converted text reads");
            check(
                converter.EuroAmount
                    == (fromLire ? toDouble(amount->value) / LirePerEuro : toDouble(amount->value)),
                "the Euro amount follows the reading");
            const std::u16string shown = fromLire ? euroDisplay(amount->value, italian())
                                                  : lireDisplay(*amount, italian());
            check(Driving::text(target) == QString::fromStdU16String(shown),
                  "the other box shows the converted amount");
            check(!target.OutOfDate(), "a converted amount is current");
        } else {
            if (edited != &form.Text1)
                check(Driving::text(form.Text1) == text1Before, "no conversion, the Lire box kept");
            if (edited != &form.Text2)
                check(Driving::text(form.Text2) == text2Before, "no conversion, the Euro box kept");
            if (!writesClipboard)
                check(clipboardNow() == clipboardBefore, "no conversion, the clipboard kept");
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // The offscreen platform warns about every window it cannot raise.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    static int argc = 1;
    static char name[] = "fuzz_form1";
    static char *argv[] = {name, nullptr};
    // Never destroyed: the application must outlive every static the fuzzer
    // tears down at exit.
    static auto *app = new QApplication(argc, argv);
    (void)app;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    Input input(data, size);
    run(input);
    QCoreApplication::processEvents();
    return 0;
}
