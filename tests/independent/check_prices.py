#!/usr/bin/env python3
"""Recomputes the figures of the price commands' golden files on its own:
exact fractions with Python's fractions module, the root-found margin
methods with mpmath at 50 digits and a different root-finder (Anderson's
bracketed method, where the program bisects), the formatting of the market
tables with Python's decimal rounding.

    tests/independent/check_prices.py [GOLDEN_DIR]

Checks every tests/golden/prices-*.txt whose command asks for --json, and
the text report of the same command where there is one. Prints each
disagreement and exits 1; exits 77 (skipped) when mpmath is missing.
"""
import glob
import json
import os
import re
import sys
from decimal import ROUND_HALF_EVEN, Decimal
from fractions import Fraction as F

try:
    from mpmath import mp, mpf
except ImportError:
    print("mpmath is not installed: skipped")
    sys.exit(77)

mp.dps = 50
TOL = mpf("1e-13")  # the JSON's 15 places are well inside the promised 1e-12
faults = []


def fault(where, text):
    faults.append(f"{where}: {text}")


def frac(s):
    n, d = s.split("/")
    return F(int(n), int(d))


def fixed(x, places):
    q = Decimal(1).scaleb(-places)
    return f"{(Decimal(x.numerator) / Decimal(x.denominator)).quantize(q, rounding=ROUND_HALF_EVEN):,}" \
        if isinstance(x, F) else f"{Decimal(mp.nstr(x, 40)).quantize(q, rounding=ROUND_HALF_EVEN):,}"


def percent(x):
    size = abs(x) * 100
    places = 2
    if 0 < size < (F(1, 10) if isinstance(size, F) else mpf("0.1")):
        while size * 10 ** places < 10:
            places += 1
    return fixed(x * 100 if isinstance(x, F) else x * 100, places) + " %"


def price_text(d):
    places = 2
    while d > 1 and round(F(d) if isinstance(d, F) else F(mp.nstr(d, 40)), places) <= 1:
        places += 1
    return fixed(d, places)


def root(f, lo, hi):
    """The root of a function falling from lo to hi, by Anderson's method."""
    return mp.findroot(f, (mpf(lo), mpf(hi)), solver="anderson", tol=mpf("1e-45"))


def widen(f, start, up):
    x = mpf(start)
    while (f(x) > 0) == up:
        x = x * 2 if up else x / 2
    return x


def fair_chances(decimals, method):
    """The method's chances, or None where it has none."""
    pi = [1 / d for d in decimals]
    b = sum(pi)
    n = len(pi)
    if b == 1:
        return pi
    if method == "multiplicative":
        return [p / b for p in pi]
    if method == "additive":
        out = [p - (b - 1) / n for p in pi]
        return out if all(p > 0 for p in out) else None
    mpi = [mpf(p.numerator) / p.denominator for p in pi]
    mb = sum(mpi)
    if method == "power":
        f = lambda k: sum(p ** k for p in mpi) - 1
    elif method == "odds-ratio":
        f = lambda c: sum(p / (c * (1 - p) + p) for p in mpi) - 1
    else:  # shin, in its first form (Jullien and Salanie; Strumbelj)
        if b < 1:
            return None
        g = lambda z: [(mp.sqrt(z * z + 4 * (1 - z) * p * p / mb) - z) / (2 * (1 - z)) for p in mpi]
        hi = mpf(1) - mpf(2) ** -20
        while sum(g(hi)) - 1 > 0:
            hi = 1 - (1 - hi) / 2
        return g(root(lambda z: sum(g(z)) - 1, 0, hi))
    if b > 1:
        t = root(f, 1, widen(f, 2, True))
    else:
        t = root(f, widen(f, mpf(1) / 2, False), 1)
    return [p ** t for p in mpi] if method == "power" else [p / (t * (1 - p) + p) for p in mpi]


def check_market(where, j, text):
    decimals = [frac(p["decimal"]) for p in j["prices"]]
    b = sum(1 / d for d in decimals)
    for key, want in (("booksum", b), ("overround", b - 1), ("hold", 1 - 1 / b)):
        if frac(j[key]) != want:
            fault(where, f"{key} {j[key]}, not {want}")
    tables = {}
    for m in j["methods"]:
        mine = fair_chances(decimals, m["method"])
        if mine is None:
            if m["ok"]:
                fault(where, f"{m['method']} gives chances where it has none")
            continue
        if not m["ok"]:
            fault(where, f"{m['method']} refused: {m['failure']}")
            continue
        tables[m["method"]] = mine
        if m["exact"]:
            if [frac(c) for c in m["chances"]] != mine or [frac(c) for c in m["fair_prices"]] != [1 / p for p in mine]:
                fault(where, f"{m['method']}: exact chances differ")
            continue
        for c, p in zip(m["chances"], mine):
            if abs(mpf(c) - p) > TOL:
                fault(where, f"{m['method']}: chance {c}, independently {mp.nstr(p, 20)}")
        for c, p in zip(m["fair_prices"], mine):
            if abs(mpf(c) - 1 / p) > TOL / p / p + mpf("1e-12"):
                fault(where, f"{m['method']}: fair price {c}, independently {mp.nstr(1 / p, 20)}")
        if abs(sum(mpf(c) for c in m["chances"]) - 1) > mpf("1e-12"):
            fault(where, f"{m['method']}: the chances do not sum to 1 within 1e-12")
    if text is None:
        return
    # The text report's tables, written again from the independent figures.
    method = None
    row = 0
    names = {"Multiplicative": "multiplicative", "Additive": "additive", "Power": "power", "Shin's": "shin",
             "Odds-ratio": "odds-ratio"}
    for line in text:
        head = re.match(r" (\S+) method: ", line)
        if head:
            method, row = names[head.group(1)], 0
            continue
        cells = re.split(r"\s{2,}", line.strip())
        if method in tables and len(cells) == 5 and cells[0].isdigit():
            p = tables[method][row]
            d = decimals[row]
            want = [str(row + 1), price_text(d), percent(1 / d), percent(p), price_text(1 / p)]
            if cells != want:
                fault(where, f"text row {cells}, independently {want}")
            row += 1


def check_kelly(where, j):
    d, p, f = frac(j["price"]["decimal"]), frac(j["chance"]), frac(j["fraction"])
    edge = p * d - 1
    share = edge / (d - 1) * f if edge > 0 else F(0)
    if frac(j["edge"]) != edge or frac(j["stake_share"]) != share:
        fault(where, "the edge or the stake differs")
    if j["bankroll"] and frac(j["stake"]) != share * frac(j["bankroll"]):
        fault(where, "the stake differs")
    if edge > 0:
        for key, s in (("log_growth", share), ("log_growth_full_kelly", edge / (d - 1))):
            g = mpf(p.numerator) / p.denominator * mp.log(1 + mpf(s.numerator) / s.denominator * (d - 1)) + \
                (1 - mpf(p.numerator) / p.denominator) * mp.log(1 - mpf(s.numerator) / s.denominator)
            if abs(mpf(j[key]) - g) > mpf("1e-15"):
                fault(where, f"{key} {j[key]}, independently {mp.nstr(g, 20)}")


def check_spread(where, j):
    best = [max(frac(o["decimal"]) for o in out["offers"]) for out in j["outcomes"]]
    b = sum(1 / d for d in best)
    stake, returns = frac(j["stake"]), frac(j["returns"])
    if frac(j["booksum"]) != b or returns != stake / b or frac(j["profit"]) != returns - stake:
        fault(where, "the booksum, return or profit differs")
    cents = [F(round(returns / d * 100), 100) for d in best]
    backs = [c * d for c, d in zip(cents, best)]
    if [frac(o["stake_to_the_cent"]) for o in j["outcomes"]] != cents or \
            [frac(x) for x in j["returns_to_the_cent"]] != [min(backs), max(backs)]:
        fault(where, "the stakes to the cent differ")


def check_multiple(where, j):
    combined, chance, opened = F(1), F(1), 0
    for leg in j["legs"]:
        d = frac(leg["decimal"])
        counts = {"void": F(1), "dead heat": d / leg.get("tied", 1)}.get(leg["result"], d)
        combined *= counts
        if leg["result"] == "open":
            opened += 1
            chance *= frac(leg["chance"]) if leg["chance"] else 1
    if frac(j["combined_price"]) != combined or frac(j["returns"]) != combined * frac(j["stake"]):
        fault(where, "the combined price or the return differs")
    if "chance_all_open_win" in j and (frac(j["chance_all_open_win"]) != chance or
                                       frac(j["expected_return"]) != chance * combined):
        fault(where, "the chance or the expected return differs")


def read_price(t):
    if t.lower() in ("evens", "even", "evs", "evn"):
        return F(2)
    if t.endswith("%"):
        return 100 / F(t[:-1])
    if t[0] in "+-":
        a = F(t[1:])
        return 1 + a / 100 if t[0] == "+" else 1 + 100 / a
    for bar in "/-":
        if bar in t:
            n, d = t.split(bar)
            return 1 + F(n) / F(d)
    return F(t)


def check_price(where, j):
    for p in j["prices"]:
        d = read_price(p["typed"])
        exact = {"decimal": d, "fractional": d - 1, "american": 100 * (d - 1) if d >= 2 else -100 / (d - 1),
                 "implied": 1 / d}
        frac_shown = d - 1
        if max(frac_shown.numerator, frac_shown.denominator) > 1000:
            frac_shown = frac_shown.limit_denominator(1000) if frac_shown <= 1 else \
                1 / (1 / frac_shown).limit_denominator(1000)
        american = round(exact["american"])
        shown = {"decimal": price_text(d), "implied": percent(1 / d),
                 "fractional": "evens" if frac_shown == 1 else f"{frac_shown.numerator}/{frac_shown.denominator}",
                 "american": ("+" if american >= 0 else "-") + f"{abs(american):,}"}
        for form, value in exact.items():
            if frac(p[form]["exact"]) != value or p[form]["shown"] != shown[form]:
                fault(where, f"{p['typed']} as {form}: {p[form]}, independently {value} shown {shown[form]}")


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "golden")
    checked = 0
    for path in sorted(glob.glob(os.path.join(folder, "prices-*.txt"))):
        with open(path, encoding="utf-8") as f:
            lines = f.read().split("\n")
        if "--json" not in lines[0] or "[exit" in "".join(lines):
            continue
        where = os.path.basename(path)
        j = json.loads("\n".join(lines[1:]))
        twin = path.replace("-json.txt", ".txt")
        text = None
        if twin != path and os.path.exists(twin):
            with open(twin, encoding="utf-8") as f:
                twin_lines = f.read().split("\n")
            if twin_lines[0] + " --json" == lines[0]:
                text = twin_lines[1:]
        schema = j["schema"].split("/")[0]
        if schema == "fortelle-market":
            check_market(where, j, text)
        elif schema == "fortelle-kelly":
            check_kelly(where, j)
        elif schema in ("fortelle-arbitrage", "fortelle-dutching"):
            check_spread(where, j)
        elif schema == "fortelle-multiple":
            check_multiple(where, j)
        else:
            check_price(where, j)
        checked += 1
    for f in faults:
        print(f)
    print(f"{checked} golden files checked, {len(faults)} disagreements")
    sys.exit(1 if faults or checked == 0 else 0)


if __name__ == "__main__":
    main()
