#!/usr/bin/env python3
"""Recomputes every figure of the chart golden files on its own, with Python's
fractions (exact) and decimal (90 digits; its ln and exp are correctly
rounded), from the game files and the command line, and checks each point's
texts and drawn position and each marked point. Prints each disagreement and
exits 1 on any.

    tests/independent/check_charts.py GAMES_FOLDER GOLDEN_FILE...
"""
import csv, io, json, math, os, re, shlex, sys
from decimal import Decimal, getcontext, MIN_EMIN
from fractions import Fraction as F

getcontext().prec, getcontext().Emin = 90, MIN_EMIN
faults = []


def grouped(t):
    head, dot, tail = t.partition(".")
    return f"{int(head):,}" + dot + tail


def fixed(x, places):  # ties to even, as Python's round of a Fraction
    q = round(abs(x) * 10**places)
    t = str(q).rjust(places + 1, "0")
    t = t[:len(t) - places] + ("." + t[len(t) - places:] if places else "")
    return ("-" if x < 0 and q else "") + grouped(t)


def exponent(x):  # 10^e <= x < 10^(e+1)
    e = len(str(x.numerator)) - len(str(x.denominator))
    return e - 1 if x < F(10)**e else e


def significant(x, digits):
    places = max(0, digits - 1 - exponent(x))
    t = fixed(x, places)
    return fixed(x, places - 1) if places and len(re.sub(r"^[0.,]*", "", t).replace(".", "").replace(",", "")) > digits else t


def percent(p):  # 3 significant digits, exponent form below 1E-9 %
    if isinstance(p, Decimal) and 0 < p * 100 < Decimal("1e-9"): return f"{p * 100:.2E} %"
    pc = F(p) * 100
    if pc == 0: return "0 %"
    if pc >= F(1, 10**9): return significant(pc, 3) + " %"
    e = exponent(pc)
    m = significant(pc / F(10)**e, 3)
    if m == "10.0": m, e = "1.00", e + 1
    return f"{m}E{e} %"


def one_in(p):  # 1/p rounded once to 2 places below 1E15, to 15 significant digits from there
    if p == 0: return "impossible (0 %)"
    x = 1 / p
    e = exponent(x)
    if e < 15:
        t = fixed(x, 2)
        t = t.rstrip("0").rstrip(".") if "." in t else t
    else:
        d = str(round(x / F(10)**(e - 14))).rstrip("0")
        t = d[0] + ("." + d[1:] if len(d) > 1 else "") + f"E+{e}"
    return f"1 in {t} ({percent(p)})"


def check(where, want, got):
    if want != got: faults.append(f"{where}: expected {want!r}, the chart has {got!r}")


def near(where, want, got, tol=1e-12):
    if not abs(float(want) - float(got)) <= tol * max(1.0, abs(float(want))):
        faults.append(f"{where}: drawn at {got}, expected {float(want)}")


def C(n, k): return math.comb(n, k) if 0 <= k <= n else 0


def tiers(game, spots):  # [(name, p, prize text)]: each drum on its own
    if game.get("keno"):
        n, k = game["drums"][0]["size"], game["drums"][0]["draw"]
        return [(str(m), F(C(spots, m) * C(n - spots, k - m), C(n, k)), None) for m in range(spots + 1)]
    out = []
    for t in game["tiers"]:
        p = F(1)
        for d in game["drums"]:
            m = t["match"][d["name"]]
            p *= F(C(d["pick"], m) * C(d["size"] - d["pick"], d["draw"] - m), C(d["size"], d["draw"]))
        out.append((t["name"], p, t["prize"]))
    return out


def chance(p, n):  # 1 - (1 - p)^n and (1 - p)^n
    none = (Decimal(int(n)) * (Decimal(1) - Decimal(p.numerator) / Decimal(p.denominator)).ln()).exp()
    return 1 - none, none


def draws_text(p, n):
    win, none = chance(p, n)
    if F(win) * 100 < F(999995, 10000): return significant(F(win) * 100, 5) + " %", win
    if none < Decimal("1e-646456993"):  # 2^-(2^31), below the least the chart's 50-digit numbers hold
        return "100 % less a chance too small to write", win
    return "100 % less " + percent(none), win


def count(text): return F(Decimal(text.replace(",", "")))


def check_draws(name, rows, note, args):
    p = F(re.search(r"p = (\d+/\d+)", note).group(1))
    for r in rows:
        n = count(r["x_text"])
        text, win = draws_text(p, n)
        check(f"{name} {r['x_text']}", text, r["y_text"])
        near(f"{name} {r['x_text']}", win * 100, r["y"], 1e-13)
        m = re.match(r"(\d+) %: ([\d,.E+]+) draws?$", r["name"])
        if r["type"] == "mark" and m:
            target, least = F(int(m.group(1)), 100), n
            check(f"{name} {r['name']}", m.group(2), r["x_text"])
            if "E" not in r["x_text"]:  # every digit given: the fewest, exactly
                if not (F(chance(p, least)[0]) >= target and (least == 1 or F(chance(p, least - 1)[0]) < target)):
                    faults.append(f"{name}: {least} is not the fewest draws for {target}")
            else:  # beyond 1E+60, known to 15 significant digits
                exact = Decimal(target.numerator, ) / target.denominator
                true = ((1 - exact).ln() / (1 - Decimal(p.numerator) / p.denominator).ln()).to_integral_value("ROUND_CEILING")
                if abs(F(true) - least) > least * F(1, 10**14): faults.append(f"{name}: {r['name']}, the fewest is {true}")


def kept_share(amount, lam, rate, above):  # what a winner keeps of `amount` shared with Poisson(lam) others
    if lam == 0: return amount * (1 - rate) if above is not None and amount > above else amount
    lam_d = Decimal(lam.numerator) / lam.denominator
    if above is None or rate == 0: return amount * F((1 - (-lam_d).exp()) / lam_d)
    total, k, pk = Decimal(0), 0, (-lam_d).exp()
    while k < lam_d + 60 * lam_d.sqrt() + 200:
        share = Decimal(amount.numerator) / amount.denominator / (k + 1)
        total += pk * share * (1 - (Decimal(rate.numerator) / rate.denominator if share > above else 0))
        k += 1
        pk = pk * lam_d / k
    return F(total)


def check_value(name, rows, game, args):
    opt = {a[2:]: F(Decimal(b)) for a, b in zip(args, args[1:]) if a.startswith("--")}
    price = opt.get("price", F(Decimal(game["price"])))
    rate, above, cash = opt.get("tax", 0) / 100, opt.get("tax-above"), opt.get("cash", F(1))
    if "tax" in opt and above is None: above = F(0)
    keep = lambda a: a * (1 - rate) if above is not None and a > above else a
    fund = F(Decimal(game.get("prize_fund_percent", "0"))) / 100

    def value(j, sold):  # each tier's prize after sharing and tax, weighed by its chance
        v = 0
        for t, (_, p, prize) in zip(game["tiers"], tiers(game, 0)):
            if prize == "jackpot": v += p * kept_share(j * cash, sold * p, rate, above)
            elif re.fullmatch(r"[\d.]+", str(prize)): v += p * keep(F(Decimal(str(prize))))
            elif sold and fund and "fund_percent" in t:  # a pool from the other tickets' stakes
                pool = sold * F(Decimal(game["price"])) * fund * F(Decimal(t["fund_percent"])) / 100
                v += p * kept_share(pool, sold * p, rate, above)
            elif "typical" in t: v += p * keep(F(Decimal(t["typical"]["amount"])))
        return v

    for r in rows:
        if r["name"].startswith("Ticket price"): continue
        series = r["name"] if r["type"] == "point" else r["detail"].split(";")[0]
        sold = 0 if series.startswith("No other") else F(Decimal(series.split(" other")[0].replace(" million", "e6").replace(",", "")))
        j = F(Decimal(r["x"]))  # where the point is drawn (its label may be rounded)
        v = value(j, sold)
        check(f"{name} {series} {r['x_text']}", fixed(v, 2) + " " + game.get("currency", "units"), r["y_text"])
        check(f"{name} {series} {r['x_text']}", "returns " + percent(v / price) + " of the price", r["detail"].split("; ")[-1])
        near(f"{name} {series} {r['x_text']}", v, r["y"], 1e-9)
        if r["name"].startswith("Break-even"):
            near(f"{name} {r['name']}", price, v, 1e-9)
            if sold == 0:  # exactly where the jackpot brings what the price lacks
                pj, others = tiers(game, 0)[0][1], value(F(0), 0)
                exact = (price - others) / pj / cash / (1 - rate if above is not None and (price - others) / pj > above else 1)
                check(f"{name} {r['name']}", fixed(exact, 0 if exact.denominator == 1 else 2), r["name"].split(": ")[1].split()[0])


def check_matches(name, rows, games, args):
    if "--lotto" in args:
        N, k, pool = (int(a) for a in args[args.index("--lotto") + 1:][:3])
        lo = max(0, k - (N - pool))
        want = [(str(m), F(C(pool, m) * C(N - pool, k - m), C(N, k))) for m in range(lo, min(k, pool) + 1)]
    else:
        game = games.get(args[0]) or json.load(open(os.path.join(os.path.dirname(name), args[0])))
        ts = tiers(game, int(args[1]) if len(args) > 1 else 0)
        want = [(n, p) for n, p, _ in ts]
        if sum(p for _, p in want) < 1: want.append(("none", 1 - sum(p for _, p in want)))
    check(f"{name} bars", len(want), len(rows))
    for (label, p), r in zip(want, rows):
        check(f"{name} {label}", one_in(p), r["y_text"])
        fraction = f"{p.numerator}/{p.denominator}"  # shown up to 80 characters
        check(f"{name} {label}", f"p = {fraction}" if len(fraction) <= 80 else "", r["detail"].split(";")[0])
        near(f"{name} {label}", p, r["y"], 1e-15)


def report_percent(x):  # the reports' rounding: 2 places, 3 significant digits below 0.01 %
    pc = x * 100
    t = significant(pc, 3) if pc < F(1, 100) else fixed(pc, 2)
    t = t.rstrip("0").rstrip(".") if "." in t else t
    return "above 99.99 %" if t == "100" and x < 1 else t + " %"


def units(r): return ("+" if r > 0 else "") + fixed(r, 0 if r.denominator == 1 else 2) + (" unit" if abs(r) == 1 else " units")


def check_keno(name, rows, marks, shade, note, game, args):
    spots, n = int(args[0]), int(args[args.index("--games") + 1]) if "--games" in args else 100
    table = dict(e.split("=") for e in args[args.index("--pay") + 1].split(",")) if "--pay" in args else game["pay_tables"][str(spots)]
    pays = {int(c): F(Decimal(str(v))) for c, v in table.items()}
    ways = [C(spots, c) * C(80 - spots, 20 - c) for c in range(spots + 1)]  # of C(80, 20) draws
    d = math.lcm(*(pay.denominator for pay in pays.values()))
    game_ways = {}
    for c, w in enumerate(ways):
        step = int(pays.get(c, 0) * d)
        game_ways[step] = game_ways.get(step, 0) + w
    if not rows:  # not drawn: only when the grid of the results (the pays' and the stake's) is past 2^20 steps
        grid = F(math.gcd(*(int(x * d) for x in list(pays.values()) + [F(1)])), d)
        check(f"{name} not drawn", True, max(pays.values()) / grid > 2**20 * n or n / grid > 2**20)
        return
    T, points = n * d, [r for r in rows if r["detail"] != "end of the part drawn"]
    width = round((F(rows[1]["x"]) - F(rows[0]["x"])) * d) if len(rows) > 1 else 1
    top = T + round(F(Decimal(rows[-1]["x"])) * d)
    h = [1] + [0] * top  # ways of each total return in steps, cut at `top`, exactly
    for _ in range(n):
        h = [sum(w * h[t - s] for s, w in game_ways.items() if 0 <= t - s) for t in range(top + 1)]
    total = C(80, 20) ** n
    for r in points:
        start = T + round(F(Decimal(r["x"])) * d)
        chance = F(sum(h[max(0, start):start + width]), total)
        if r["y_text"].startswith("below "):  # the bound leaves no digit sure
            if not chance * 100 < F(Decimal(r["y_text"][6:-2])): faults.append(f"{name} {r['x_text']}: not {r['y_text']}")
            continue
        got = r["y_text"].rstrip(" %")
        digits = len(re.sub(r"^0\.0*", "", got).replace(".", ""))  # significant: "10.1" has 3
        check(f"{name} {r['x_text']}", significant(chance * 100, digits) + " %" if digits else "", r["y_text"])
        # Fewer digits only where the bound the note states leaves the third unsure.
        bound = F(Decimal(note.split("each figure within ")[1].split()[0]))
        if digits < 3 and significant(chance * 100 - bound, 3) == significant(chance * 100 + bound, 3):
            faults.append(f"{name} {r['x_text']}: only {digits} digits")
        near(f"{name} {r['x_text']}", chance * 100, r["y"], 1e-9)
    mean = sum(F(w, C(80, 20)) * pays.get(c, 0) for c, w in enumerate(ways))
    check(f"{name} average", "Average: " + units((mean - 1) * n), marks[0]["name"])
    # The shaded chance: of all returns below the stakes, none of which the cut at `top` loses.
    check(f"{name} behind", report_percent(F(sum(h[:T]), total)), shade.split(": ")[-1])


def main():
    # By default the built-in games and every chart golden file.
    here = os.path.dirname(os.path.abspath(__file__))
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "..", "data", "games")
    files = sys.argv[2:] or sorted(__import__("glob").glob(os.path.join(here, "..", "golden", "chart-*.txt")))
    games = {}
    for path in __import__("glob").glob(folder + "/*.json"):
        with open(path, encoding="utf-8") as f:
            g = json.load(f)
            games[g["id"]] = g
    for path in files:
        with open(path, encoding="utf-8") as f:
            command, text = f.read().split("\n", 1)
        args = shlex.split(command)[2:]
        if "[exit" in text: continue
        shade = ""
        if args[-1] == "--json":  # the same rows, as the CSV would carry them
            j = json.loads(text)
            note = j["note"]
            rows = [{"detail": "", **p, "type": "point", "name": s["name"]} for s in j["series"] for p in s["points"]]
            rows += [{"detail": "", **m, "type": "mark", "name": m["label"]} for m in j["marks"]]
            rows = [{k: str(v) for k, v in r.items()} for r in rows]
            shade = "# shaded: " + j["shade"]["label"] if j["shade"] else ""
        else:
            lines = text.splitlines()
            note = next((l[8:] for l in lines if l.startswith("# note: ")), "")
            shade = next((l for l in lines if l.startswith("# shaded: ")), "")
            rows = list(csv.DictReader(io.StringIO("\n".join(l for l in lines if not l.startswith("#")))))
        kind, rest = args[0], [a for a in args[1:] if a not in ("--csv", "--json")]
        if kind == "draws": check_draws(path, rows, note, rest)
        elif kind == "value":
            game = games.get(rest[0]) or json.load(open(os.path.join(os.path.dirname(path), rest[0])))
            check_value(path, rows, game, rest[1:])
        elif kind == "matches": check_matches(path, rows, games, rest)
        elif kind == "keno":
            check_keno(path, [r for r in rows if r["type"] == "point"], [r for r in rows if r["type"] == "mark"], shade,
                       note, games[rest[0]], rest[1:])
        print(f"{path}: {len(rows)} rows checked")
    for fault in faults: print(fault)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
