#!/usr/bin/env python3
"""Recomputes the figures the named-game reports show for people, on its own,
with exact fractions, from the golden files tests/golden/{game,value,
keno-return,draws}-*.txt:

- every line fits the box: at most 76 characters;
- every table row's "1 in X" and percentage from its exact chance p (X to 2
  places, the percentage to 2 places from 1 % up and to 3 significant
  digits below, ties to even, digits grouped), and a table's fractions over
  their least common denominator exactly when it has at most 15 digits;
- the value of a ticket where nothing is shared (no --tickets-sold), from the
  game file's prizes and the command's assumptions: the first sentence (what
  a ticket returns, what you lose or gain and its percentage), the expected
  value, the return per unit staked and the break-even jackpot, amounts to
  the cent below 1,000 and to the unit from there.

    tests/independent/check_readable.py [GOLDEN_DIR]

Prints each disagreement and exits 1.
"""
import glob
import json
import math
import os
import re
import sys
from decimal import ROUND_HALF_EVEN, Decimal
from fractions import Fraction as F

HERE = os.path.dirname(os.path.abspath(__file__))
GAMES = os.path.join(HERE, '..', '..', 'data', 'games')

def places(x, n):  # Fraction -> Decimal rounded to n places, ties to even
    return (Decimal(x.numerator) / Decimal(x.denominator)).quantize(Decimal(1).scaleb(-n), ROUND_HALF_EVEN)

def plain(d):  # Decimal -> grouped text without trailing zeros
    s = format(d.normalize(), 'f') if d != 0 else '0'
    whole, _, frac = s.partition('.')
    return f'{int(whole):,}' + ('.' + frac if frac else '')

def one_in(p):
    x = 1 / p
    if x >= 10 ** 15:
        return None  # exponent form: left to the other checks
    return plain(places(x, 2))

def percent(p):
    x = p * 100
    if x >= 1 or x == 0:
        return plain(places(x, 2))
    digits = math.floor(math.log10(x.numerator) - math.log10(x.denominator))
    return plain(places(x, 2 - digits))

def money(x, cur):
    if x == 1 and cur == 'units':
        return '1 unit'
    if abs(x) >= 1000:
        return f'{round(x):,} {cur}'
    if x.denominator == 1:
        return f'{x} {cur}'
    return format(places(x, 2), ',f') + f' {cur}'

def check_rows(path, text, bad):
    """Rows "~ ... 1 in X  P %  p = N/D", a row's lines after it included."""
    rows = re.findall(r'^~ .*(?:\n {3,}\S.*)*', text, re.M)
    denominators = []
    count = 0
    for row in rows:
        m = re.search(r'p = +(\d+)/(\d+)', row)
        odds = re.search(r'1 in +([\d,.]+)(?!\d|E)\s+([\d.]+) %', row)
        if not m:
            continue
        p = F(int(m.group(1)), int(m.group(2)))
        denominators.append((int(m.group(2)), p.denominator, row))
        if odds and p > 0:
            count += 2
            want = (one_in(p), percent(p))
            if want[0] and (odds.group(1), odds.group(2)) != want:
                bad.append(f'{path}: {row.split(chr(10))[0]}: want 1 in {want[0]}, {want[1]} %')
    if denominators:
        shown = {d for d, _, _ in denominators}
        least = math.lcm(*[d for _, d, _ in denominators])
        common = least < 10 ** 15 and len(denominators) > 1
        if common and shown != {least} and len(shown) > 1:
            bad.append(f'{path}: the fractions are not over their common denominator {least}')
        if not common and any(d != r for d, r, _ in denominators):
            bad.append(f'{path}: fractions over a denominator of more than 15 digits')
    return count

def option(cmd, name):
    m = re.search(r'--' + name + r' (\S+)', cmd)
    return F(m.group(1).rstrip('%')) if m else None

def check_value(path, cmd, text, bad):
    """The value where nothing is shared, from the game file."""
    if '--tickets-sold' in cmd or '--pool' in cmd:
        return 0
    gid = cmd.split()[2]
    # A game named by its file is read beside the golden file.
    where = os.path.join(os.path.dirname(path), gid) if gid.endswith('.json') else os.path.join(GAMES, gid + '.json')
    game = json.load(open(where))
    cur = game.get('currency', 'units')
    price = option(cmd, 'price') or F(game['price'])
    jackpot, cash = option(cmd, 'jackpot'), option(cmd, 'cash') or 1
    rate, above = (option(cmd, 'tax') or 0) / 100, option(cmd, 'tax-above') or 0
    entered = {a: F(b) for a, b in re.findall(r'--prize (\S+)=(\S+)', cmd)}
    kept = lambda x: x * (1 - rate) if rate and x > above else x
    factors = game.get('multiplier', {}).get('values', [1])
    least = len(factors) > 1 and 'chances' not in game['multiplier']
    chances = {}
    for row in re.findall(r'^~ (\S+) (?:[^\n]*\n)?[^\n]*?p = +(\d+)/(\d+)', text, re.M):
        chances[row[0]] = F(int(row[1]), int(row[2]))
    value, left, pj, kj = F(0), 0, None, F(0)
    for t in game['tiers']:
        p, prize = chances[t['name']], t['prize']
        if prize == 'jackpot':
            pj, kj = p, kept(jackpot * cash)
            value += p * kj
        elif prize == 'free ticket':
            value += p * entered.get(t['name'], price)
        elif prize == 'pari-mutuel':
            amount = entered.get(t['name'], F(t['typical']['amount']) if 'typical' in t else None)
            if amount is None:
                left += 1
            else:
                value += p * kept(amount)
        else:
            value += p * kept(entered.get(t['name'], F(prize)) * min(factors))
    bound = left > 0 or least
    gap = price - value
    parts = ([f'{left} tier{"s" if left > 1 else ""} without an amount'] if left else []) + \
        ([f'the multiplier counted at its least, {min(factors)}x'] if least else [])
    share = plain(places(abs(gap) / price * 100, 2))
    verdict = f'On average a {money(price, cur)} ticket returns {"at least " if bound else ""}{money(value, cur)}: ' + \
        f'you {"lose" if gap > 0 else "gain"} {("at most " if gap > 0 else "at least ") if bound else ""}' + \
        f'{money(abs(gap), cur)} ({share} %) per ticket' + (f' (partial: {"; ".join(parts)})' if bound else '') + '.'
    if places(abs(gap), 2) == 0:
        verdict = f'On average a {money(price, cur)} ticket returns {"at least " if bound else ""}' + \
            f'{money(value, cur)}: you break even to the cent{", or better" if bound else ""}' + \
            (f' (partial: {"; ".join(parts)})' if bound else '') + '.'
    partial = f' (partial: {left} tier{"s" if left > 1 else ""} without an amount)' if left else ''
    want = [verdict, f'Expected value of a ticket: {"at least " if least else ""}{money(value, cur)}{partial}',
            f'Return per unit staked: {"at least " if least else ""}{plain(places(value / price * 100, 2))} %' +
            (' (partial)' if partial else '')]
    if pj is not None:
        target = (price - (value - pj * kj)) / pj
        if target > 0 and (not rate or target <= above or rate < 1):
            j = (target if not rate or target <= above else target / (1 - rate)) / cash
            want.append(f'Break-even jackpot (advertised): {"at most " if bound else ""}{money(j, cur)}' +
                        (' (partial)' if partial else ''))
    paragraphs = [' '.join(l.strip() for l in b.splitlines()) for b in text.split('\n\n')]
    lines = [l.strip() for p in paragraphs for l in re.split(r'(?<=\)|\S) (?=Expected|Return per|Break-even)', p)]
    for w in want:
        if w not in lines:
            bad.append(f'{path}: want "{w}"')
    return len(want)

def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(HERE, '..', 'golden')
    bad, figures = [], 0
    for pattern in ('game-*.txt', 'value-*.txt', 'keno-return-*.txt', 'draws-*.txt'):
        for path in sorted(glob.glob(os.path.join(folder, pattern))):
            raw = open(path, newline='').read()
            cmd, _, text = raw.partition('\n')
            if '--json' in cmd or '[exit' in raw or '--raw' in cmd:
                continue
            for line in text.splitlines():
                figures += 1
                if len(line) > 76:
                    bad.append(f'{path}: a line of {len(line)} characters: {line}')
            figures += check_rows(path, text, bad)
            if pattern.startswith('value'):
                figures += check_value(path, cmd, text, bad)
    for b in bad:
        print(b)
    print(f'{figures} lines and figures checked, {len(bad)} disagree')
    return 1 if bad or not figures else 0

sys.exit(main())
