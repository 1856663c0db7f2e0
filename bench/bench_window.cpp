// SPDX-License-Identifier: MIT
// Whole changes through real widgets on the offscreen platform: a keystroke
// in either box, a program's set, and a label click with a large clipboard.
#include "driving.h"
#include "window/form1.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMouseEvent>

#include <benchmark/benchmark.h>

#include <memory>
#include <string_view>

using namespace Monvert;

namespace {

using Driving::italianForm;
using Driving::key;

// A whole change procedure: the set raises it, it reads, converts and sets the
// other box, whose own change returns at once.
void BM_Text1_Change(benchmark::State &state)
{
    auto form = italianForm();
    form->converter.EditingLire = True;
    const std::u16string_view amounts[] = {u"1.000.000", u"1000001"};
    int i = 0;
    for (auto _ : state)
        form->Text1.SetText(amounts[++i % 2]);
    if (Driving::text(form->Text2) != QStringLiteral("Euro 516,46"))
        state.SkipWithError("did not convert");
}
BENCHMARK(BM_Text1_Change);

void BM_Text2_Change(benchmark::State &state)
{
    auto form = italianForm();
    form->converter.EditingLire = False;
    const std::u16string_view amounts[] = {u"516,46", u"Euro 516,47"};
    int i = 0;
    for (auto _ : state)
        form->Text2.SetText(amounts[++i % 2]);
    if (!Driving::text(form->Text1).startsWith(QStringLiteral("L. 1.000.0")))
        state.SkipWithError("did not convert");
}
BENCHMARK(BM_Text2_Change);

// What a user's keystroke costs: the key event through QLineEdit, the
// conversion, and the other box's update. Two keys an iteration.
void BM_KeystrokeTypeAndErase(benchmark::State &state)
{
    auto form = italianForm();
    QLineEdit *box = Forms::widgetOf(form->Text1);
    key(box, Qt::Key_1, QStringLiteral("1"));
    key(box, Qt::Key_0, QStringLiteral("0"));
    for (auto _ : state) {
        key(box, Qt::Key_5, QStringLiteral("5"));
        key(box, Qt::Key_Backspace, {});
    }
    state.SetItemsProcessed(state.iterations() * 2);
}
BENCHMARK(BM_KeystrokeTypeAndErase);

// range(0) the kind of text, range(1) its size in mebibytes.
QString largeText(const benchmark::State &state)
{
    const int kind = int(state.range(0));
    const int Size = int(state.range(1)) << 20;
    QString text;
    text.reserve(Size + Size / 80);
    switch (kind) {
    case 0: // digits
        text.fill(u'7', Size);
        break;
    case 1: // mixed garbage
        for (int i = 0; i < Size; ++i) {
            constexpr std::u16string_view Mixed = u"0123456789.,-+ abcEuroL\u00A0\u20AC";
            text.append(QChar(Mixed[std::size_t(i) * 7919 % Mixed.size()]));
        }
        break;
    default: // lines of 80 digits
        for (int i = 0; i < Size; ++i) {
            text.append(QChar(u'0' + i % 10));
            if (i % 80 == 79)
                text.append(u'\n');
        }
    }
    return text;
}

const char *kindName(const benchmark::State &state)
{
    return state.range(0) == 0 ? "digits" : state.range(0) == 1 ? "garbage" : "lines";
}

void largeClipboards(benchmark::internal::Benchmark *benchmark)
{
    benchmark->Args({0, 1})->Args({1, 1})->Args({2, 1})->Args({0, 16})->Args({1, 16});
}

// A click on "Lire" with a large text on the clipboard, until it returns.
void BM_LabelClickLargeClipboard(benchmark::State &state)
{
    auto form = italianForm();
    const QString text = largeText(state);
    QLabel *label = Forms::widgetOf(form->Label1);
    const QPoint at(3, 3);
    for (auto _ : state) {
        state.PauseTiming();
        QGuiApplication::clipboard()->setText(text);
        form->Text1.SetText({});
        state.ResumeTiming();
        QMouseEvent press(QEvent::MouseButtonPress, at, label->mapToGlobal(at), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(label, &press);
        QMouseEvent release(QEvent::MouseButtonRelease, at, label->mapToGlobal(at), Qt::LeftButton,
                            Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(label, &release);
    }
    state.SetLabel(kindName(state));
}
BENCHMARK(BM_LabelClickLargeClipboard)->Apply(largeClipboards)->Unit(benchmark::kMillisecond);

// The toolkit's floor for the same texts: a bare QLineEdit of the same size,
// with Qt's own length limit, taking the text and selecting it, with nothing
// of ours involved.
void BM_BareLineEditSetText(benchmark::State &state)
{
    QLineEdit box;
    box.setGeometry(56, 0, 113, 20);
    box.show();
    const QString text = largeText(state);
    for (auto _ : state) {
        state.PauseTiming();
        box.clear();
        state.ResumeTiming();
        box.setText(text);
        box.setSelection(0, int(text.size()));
    }
    state.SetLabel(kindName(state));
}
BENCHMARK(BM_BareLineEditSetText)->Apply(largeClipboards)->Unit(benchmark::kMillisecond);

// Long texts, drawn: a box that holds more than it shows marks the hidden
// side, and what that costs must not grow with the text. range(0) is the
// clipboard's length in characters; the box keeps the first 32,767.
void BM_LabelClickLongText(benchmark::State &state)
{
    auto form = italianForm();
    const QString text(qsizetype(state.range(0)), u'7');
    QWidget *window = Forms::widgetOf(*form);
    QLabel *label = Forms::widgetOf(form->Label1);
    for (auto _ : state) {
        state.PauseTiming();
        QGuiApplication::clipboard()->setText(text);
        form->Text1.SetText({});
        window->grab();
        state.ResumeTiming();
        Driving::click(label);
        window->grab();
    }
}
BENCHMARK(BM_LabelClickLongText)
    ->Arg(int(MaxTextLength))
    ->Arg(16 << 20)
    ->Unit(benchmark::kMillisecond);

// One key typed at the start of a full Lire box that holds an amount, and
// taken back, each drawn: two conversions of the whole text.
void BM_KeyInFullBox(benchmark::State &state)
{
    auto form = italianForm();
    QLineEdit *box = Forms::widgetOf(form->Text1);
    form->converter.EditingLire = True;
    form->Text1.SetText(u"1000," + std::u16string(31'990, u'0'));
    QWidget *window = Forms::widgetOf(*form);
    window->grab();
    for (auto _ : state) {
        box->setCursorPosition(0);
        key(box, Qt::Key_5, QStringLiteral("5"));
        window->grab();
        key(box, Qt::Key_Backspace);
        window->grab();
    }
    if (Driving::text(form->Text2) != QStringLiteral("Euro 0,52"))
        state.SkipWithError("did not convert");
    state.SetItemsProcessed(state.iterations() * 2);
}
BENCHMARK(BM_KeyInFullBox)->Unit(benchmark::kMillisecond);

// A paint of a box that holds a text longer than it shows, with nothing
// changed since the last one (a tooltip closing over it, the window
// exposed again), from its start (range(0) 0) or its end (1); beside it,
// a bare QLineEdit of the same size with the same text.
void BM_PaintLongText(benchmark::State &state)
{
    auto form = italianForm();
    QLineEdit *box = Forms::widgetOf(form->Text1);
    box->setText(QString(int(MaxTextLength), u'7'));
    box->setCursorPosition(state.range(0) == 0 ? 0 : int(MaxTextLength));
    box->grab();
    for (auto _ : state)
        box->grab();
}
BENCHMARK(BM_PaintLongText)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_BareLineEditPaint(benchmark::State &state)
{
    QLineEdit box;
    box.setGeometry(56, 0, 113, 20);
    box.show();
    box.setText(QString(int(MaxTextLength), u'7'));
    box.setCursorPosition(state.range(0) == 0 ? 0 : int(MaxTextLength));
    box.grab();
    for (auto _ : state)
        box.grab();
}
BENCHMARK(BM_BareLineEditPaint)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
