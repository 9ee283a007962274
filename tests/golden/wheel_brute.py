#!/usr/bin/env python3
"""Checks `fortelle-cli wheel check --json` against a brute force: every draw
of the game (with its supplementary numbers and the other drums' draws, the
tickets carrying the other drums' first numbers) against every ticket, and
every m-set of the player's numbers, in exact fractions. Run from
tests/golden/ with fortelle-cli on the PATH."""
import itertools, json, subprocess, sys
from fractions import Fraction as F

CASES = [
    ["games/wheel-bonus.json", "--numbers", "1-12", "--jackpot", "1000", "--prize", "4+B=300",
     "--ticket", "1 2 3 4 5", "--ticket", "1 2 6 7 8", "--ticket", "3 4 6 9 10", "--ticket", "5 7 9 10 11"],
    ["games/wheel-two-drums.json", "--jackpot", "5000", "--ticket", "1 2 3 4", "--ticket", "1 5 6 7",
     "--ticket", "2 5 8 9", "--ticket", "3 6 8 10", "--ticket", "4 7 9 10", "--ticket", "1 2 5 8"],
    ["games/wheel-star-extra.json", "--jackpot", "900", "--ticket", "1 2 3 4", "--ticket", "3 4 5 6",
     "--ticket", "1 5 7 8", "--ticket", "2 6 9 10"],
    ["6/18", "--ticket", "1 2 3 4 5 6", "--ticket", "1 2 7 8 9 10", "--ticket", "3 4 7 8 11 12",
     "--ticket", "5 6 9 10 11 12", "--ticket", "1 3 5 7 9 11"],
]

def outcomes(size, first, draw, extra):
    for d in itertools.combinations(range(first, first + size), draw):
        rest = [x for x in range(first, first + size) if x not in d]
        for e in itertools.combinations(rest, extra):
            yield set(d), set(e)

def check(case):
    got = json.loads(subprocess.run(["fortelle-cli", "wheel", "check", "--json"] + case,
                                    check=True, capture_output=True, text=True).stdout)
    tickets, numbers, k = [set(t) for t in got["tickets"]], got["numbers"], got["game"]["drawn"]
    n, first, extra = got["game"]["numbers"], got["game"]["lowest"], got["game"]["supplementary"]
    game = json.load(open(case[0])) if case[0].endswith(".json") else None
    for g in got["guarantees"]:
        holes = [list(s) for s in itertools.combinations(numbers, g["m"])
                 if max(len(set(s) & t) for t in tickets) < g["t"]]
        assert (g["misses"], g["first_misses"]) == (len(holes), holes[:5]), g
    best = [0] * (k + 1)
    for d in itertools.combinations(range(first, first + n), k):
        best[max(len(set(d) & t) for t in tickets)] += 1
    assert [b["draws"] for b in got["best_match"]] == best
    if not game:
        return
    drums, tiers = game["drums"], game["tiers"]
    def wins(tier, hits):
        for drum, (h, x) in zip(drums, hits):
            want = tier["match"][drum["name"]]
            want = want if isinstance(want, dict) else {"hits": want}
            if want["hits"] != h or want.get("extra", x) != x:
                return False
        return True
    others = [list(outcomes(d["size"], d.get("first", 1), d["draw"], d.get("extra", 0))) for d in drums[1:]]
    some, best_tier, value, total = [0] * len(tiers), [0] * (len(tiers) + 1), F(0), 0
    given = dict(e.split("=") for i, e in enumerate(case) if i and case[i - 1] == "--prize")
    def amount(t):
        special = {"jackpot": got["value"]["jackpot"] or 0, "free ticket": game["price"], "pari-mutuel": 0}
        return F(given.get(t["name"], special.get(t["prize"], t["prize"])))
    amounts = [amount(t) for t in tiers]
    picks = [set(range(d.get("first", 1), d.get("first", 1) + d["pick"])) for d in drums[1:]]
    some, best_tier, value, total = [0] * len(tiers), [0] * (len(tiers) + 1), F(0), 0
    for main, bonus in outcomes(n, first, k, extra):
        for rest in itertools.product(*others):
            total += 1
            won = set()
            for t in tickets:
                hits = [(len(main & t), len(bonus & t))] + [(len(d & p), len(e & p)) for (d, e), p in zip(rest, picks)]
                for i, tier in enumerate(tiers):
                    if wins(tier, hits):
                        won.add(i)
                        value += amounts[i]
                        break
            for i in won:
                some[i] += 1
            best_tier[min(won, default=len(tiers))] += 1
    for i, t in enumerate(got["tiers"]):
        assert (F(t["some_ticket"]), F(t["best_prize"])) == (F(some[i], total), F(best_tier[i], total)), t
    assert F(got["no_prize"]) == F(best_tier[-1], total)
    assert F(got["value"]["wheel_value"]) == value / total, (got["value"], value / total)

for case in CASES:
    check(case)
print(f"{len(CASES)} wheels agree with the brute force")
