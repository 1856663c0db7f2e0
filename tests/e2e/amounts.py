#!/usr/bin/python3
# SPDX-License-Identifier: MIT
# Random amounts over the whole fixed-point range, written the way a locale
# writes them, and their exact conversions worked out apart from Monvert, with
# decimal arithmetic on the rate as the law gives it.
#   amounts.py it|en COUNT SEED DIR
# writes DIR/in, DIR/from-lire, DIR/from-euro and DIR/from-lire-number.
import random
import sys
from decimal import ROUND_HALF_UP, Decimal, getcontext

getcontext().prec = 60
RATE = Decimal("1936.27")
SEPARATORS = {"it": (",", "."), "en": (".", ",")}


def written(value, decimals, decimal, group, grouped=True):
    """value rounded to decimals places, as the locale writes it."""
    text = f"{abs(value):,.{decimals}f}" if grouped else f"{abs(value):.{decimals}f}"
    text = text.replace(",", "\0").replace(".", decimal).replace("\0", group)
    return ("-" if value < 0 else "") + text


def main():
    locale, count, seed, folder = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), sys.argv[4]
    decimal, group = SEPARATORS[locale]
    rng = random.Random(seed)
    lines = {name: [] for name in ("in", "from-lire", "from-euro", "from-lire-number")}
    for _ in range(count):
        # Every size of amount, up to the ends of the range.
        digits = rng.randint(1, 19)
        ticks = rng.randint(-(2**63), 2**63 - 1) if digits == 19 else rng.randint(-(10**digits), 10**digits)
        amount = Decimal(ticks) / 10000
        places = rng.choice((0, 2, 4)) if ticks % 10000 == 0 else 4
        text = written(amount, places, decimal, group, grouped=rng.random() < 0.5)
        lines["in"].append(rng.choice(("", " ", "\t")) + text + rng.choice(("", " ", "\r")))
        euro = (amount / RATE).quantize(Decimal("0.01"), ROUND_HALF_UP)
        lire = (amount * RATE).quantize(Decimal("1"), ROUND_HALF_UP)
        lines["from-lire-number"].append(written(euro, 2, decimal, group))
        lines["from-lire"].append("Euro " + written(euro, 2, decimal, group))
        lines["from-euro"].append("L. " + written(lire, 0, decimal, group))
    for name, content in lines.items():
        with open(f"{folder}/{name}", "w", encoding="utf-8", newline="") as out:
            out.write("\n".join(content) + "\n")


main()
