#!/usr/bin/env python3
"""Recomputes the figures of the race command's golden files whose margin
is taken out by a price method (tests/golden/race-margin-*.txt) on its own:
the prices read again, the method's win chances from check_prices.py
(fractions, or mpmath at 50 digits with its own root-finder), and the
order of finish summed over every order with fractions or mpmath.

    tests/independent/check_racing.py [GOLDEN_DIR]

For each --json file: exact chances must be the same fraction; a computed
chance must lie within its own error of the independent value, and that
error must be below 1e-9. The text report of the same command, where there
is one, must print every chance as the independent value rounded to the
places it shows. Prints each disagreement and exits 1; exits 77 (skipped)
when mpmath is missing.
"""
import glob
import importlib.util
import json
import os
import re
import sys
from decimal import ROUND_HALF_EVEN, Decimal
from fractions import Fraction as F
from itertools import permutations

here = os.path.dirname(os.path.abspath(__file__))
found = importlib.util.spec_from_file_location("check_prices", os.path.join(here, "check_prices.py"))
prices = importlib.util.module_from_spec(found)
found.loader.exec_module(prices)  # exits 77 itself when mpmath is missing
mp, mpf = prices.mp, prices.mpf
faults = []


def exact(v):
    return F(v) if isinstance(v, int) else prices.frac(v)


def real(x):
    return mpf(x.numerator) / x.denominator if isinstance(x, F) else x


def ordered(order, weights):
    """The chance of `order` when each place is drawn from those left in
    proportion to that place's weights (Harville; the discount model)."""
    chance, placed = 1, set()
    for s, i in enumerate(order):
        w = weights[min(s, 3)]
        chance *= w[i] / sum(w[m] for m in range(len(w)) if m not in placed)
        placed.add(i)
    return chance


def shown(truth, text):
    """The printed number `text` is `truth` rounded to the places it shows."""
    text = text.replace(",", "")
    places = len(text.split(".")[1]) if "." in text else 0
    value = Decimal(truth.numerator) / Decimal(truth.denominator) if isinstance(truth, F) else Decimal(mp.nstr(truth, 40))
    return f"{value.quantize(Decimal(1).scaleb(-places), rounding=ROUND_HALF_EVEN)}" == text


def check(where, j, text):
    starters = [r for r in j["runners"] if not r["scratched"]]
    decimals = [exact(r["decimal_price"]) for r in starters]
    if decimals != [prices.read_price(r["entry"]) for r in starters]:
        faults.append(f"{where}: the prices are read differently")
    method = "multiplicative" if j["margin"] == "normalisation" else j["margin"]
    p = prices.fair_chances(decimals, method)
    if (p is None) != ("margin_failure" in j):
        faults.append(f"{where}: the method {'fails' if p is None else 'does not fail'} independently")
    if p is None:
        return
    model = j["model"]
    e = [1, 1, 1] if model["name"] == "harville" else [1, exact(model["lambda"]), exact(model["tau"])]
    weights = [[x if k == 1 else real(x) ** real(k) for x in p] for k in (e[0], e[1], e[2], e[2])]
    n, truth = len(p), {}
    for depth in (1, 2, 3):
        for order in permutations(range(n), depth):
            truth[order] = ordered(order, weights)
    win = [truth[(i,)] for i in range(n)]
    place = [sum(truth[o] for o in truth if len(o) == 2 and i in o) for i in range(n)]
    show = [sum(truth[o] for o in truth if len(o) == 3 and i in o) for i in range(n)]
    figures = []  # (name, the program's chance, the independent one)
    for i, r in enumerate(starters):
        figures += [(f"runner {r['number']} {k}", r[k], v[i]) for k, v in (("win", win), ("place", place), ("show", show))]
    t = j.get("ticket")
    if t:
        index = {r["number"]: i for i, r in enumerate(starters)}
        combos = []
        for c in t["combinations"]:
            order = tuple(index[x] for x in c["runners"])
            combos.append(ordered(order, weights) + (ordered(order[::-1], weights) if t["bet"] == "quinella" else 0))
            figures.append((f"combination {c['runners']}", c["chance"], combos[-1]))
        figures.append(("collects", t["collects"], sum(combos)))
        if t["will_pay"]:
            figures.append(("return", t["expected_return"], sum(combos) * exact(t["will_pay"]) / exact(t["base"])))
    for name, got, want in figures:
        if "exact" in got:
            if prices.frac(got["exact"]) != want:
                faults.append(f"{where}: {name} {got['exact']}, independently {want}")
        elif not (abs(mpf(got["value"]) - want) <= got["error"] < 1e-9):
            faults.append(f"{where}: {name} {got}, independently {mp.nstr(want, 20)}")
    if text is None:
        return
    rows = {r["number"]: i for i, r in enumerate(starters)}
    combo_truth = {"-".join(map(str, c["runners"])): combos[k] for k, c in enumerate(t["combinations"])} if t else {}
    for line in text:
        cells = re.split(r"\s{2,}", line.strip())
        if len(cells) == 6 and cells[0].isdigit():
            i = rows[int(cells[0])]
            pairs = zip(cells[3:], (win[i], place[i], show[i]))
        elif len(cells) in (3, 4) and cells[0] in combo_truth and cells[1].startswith("1 in "):
            c = combo_truth[cells[0]]
            pairs = [(cells[1][5:], 1 / c), (cells[2], c)]
        elif line.startswith(" Chance it collects: "):
            c = sum(combos)
            m = re.match(r" Chance it collects: 1 in ([\d,.]+) \(([\d.]+) %\)", line)
            pairs = [(m.group(1), 1 / c), (m.group(2) + " %", c)]
        else:
            continue
        for printed, value in pairs:
            if not shown(value * 100 if printed.endswith("%") else value, printed.rstrip(" %")):
                faults.append(f"{where}: prints {printed}, independently {mp.nstr(value, 15)}")


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "golden")
    checked = 0
    for path in sorted(glob.glob(os.path.join(folder, "race-margin-*-json.txt"))):
        with open(path, encoding="utf-8") as f:
            lines = f.read().split("\n")
        twin, text = path.replace("-json.txt", ".txt"), None
        if os.path.exists(twin):
            with open(twin, encoding="utf-8") as f:
                twin_lines = f.read().split("\n")
            if twin_lines[0] + " --json" == lines[0]:
                text = twin_lines[1:]
        check(os.path.basename(path), json.loads("\n".join(lines[1:])), text)
        checked += 1
    for fault in faults:
        print(fault)
    print(f"{checked} golden files checked, {len(faults)} disagreements")
    sys.exit(1 if faults or checked == 0 else 0)


if __name__ == "__main__":
    main()
