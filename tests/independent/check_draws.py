#!/usr/bin/env python3
"""Recomputes every figure of the many-draws golden reports on its own:
1 - (1 - q)^n with mpmath at 300 digits (log1p and exp, or exact fractions
where n is small), the draws needed as ceil(log(1 - c) / log(1 - q)), each
figure rounded by the documented rules with Python's decimal rounding.

    tests/independent/check_draws.py [GOLDEN_DIR]

Checks every text report tests/golden/draws*.txt (the command on the first
line gives the draws and tickets, the report's "p = " line the chance), and
the counts of draws as time and money where the game file gives a schedule
and a price: years of 365.2425 days, each figure rounded to the whole unit.
Prints each disagreement and exits 1; exits 77 (skipped) when mpmath is
missing.
"""
import glob
import json
import os
import re
import sys
from decimal import ROUND_HALF_EVEN, Decimal, getcontext
from fractions import Fraction as F

try:
    import mpmath as mp
except ImportError:
    print("mpmath is not installed: skipped")
    sys.exit(77)
mp.mp.dps = 300
getcontext().prec = 400

def dec(x):  # mpf -> Decimal
    return Decimal(mp.nstr(x, 320, min_fixed=-10**9, max_fixed=10**9)) if not isinstance(x, F) else Decimal(x.numerator) / Decimal(x.denominator)

def plain(d):
    s = format(d, 'f')
    if '.' in s: s = s.rstrip('0').rstrip('.')
    return s

def figure(x):  # report rule
    if not isinstance(x, F) and x >= mp.mpf(10) ** 15:
        e = int(mp.floor(mp.log10(x)))
        q = int(mp.nint(x / mp.mpf(10) ** (e - 14)))
        if q == 10 ** 15: q, e = 10 ** 14, e + 1
        digits = str(q).rstrip('0')
        return digits[0] + ('.' + digits[1:] if len(digits) > 1 else '') + 'E+' + str(e)
    d = dec(x)
    if d >= Decimal(10) ** 15:
        e = d.adjusted()
        q = (d / Decimal(10) ** (e - 14)).quantize(Decimal(1), ROUND_HALF_EVEN)
        if q == 10 ** 15: q, e = Decimal(10 ** 14), e + 1
        digits = str(int(q)).rstrip('0')
        return digits[0] + ('.' + digits[1:] if len(digits) > 1 else '') + 'E+' + str(e)
    return plain(d.quantize(Decimal('0.01'), ROUND_HALF_EVEN))

def percent_fig(x):
    d = dec(x)
    if d >= 1 or d == 0: return plain(d.quantize(Decimal('0.01'), ROUND_HALF_EVEN))
    e = d.adjusted()
    q = d.quantize(Decimal(10) ** (e - 2), ROUND_HALF_EVEN)
    return plain(q)

def percent(x, certain=False):
    if (x < F(1, 10 ** 100) if isinstance(x, F) else x < mp.mpf('1e-100')): return 'below 1E-100 %'
    f = percent_fig(x)
    if not certain and Decimal(f) >= 100: return 'above 99.99 %'
    return f + ' %'

def count(q, c):
    r = mp.log(1 - c) / mp.log1p(-q) if q < 1 else mp.mpf(0)
    n = max(1, int(mp.ceil(r)))
    if r > mp.mpf('1e60'): return 'about ' + figure(r)
    return str(n)

def whole(x):  # Fraction -> grouped whole number, ties to even
    return f'{round(x):,}'

def money(x, currency):
    if x >= 1000 or x.denominator == 1: return f'{whole(x)} {currency}'
    cents = round(x * 100)
    return f'{cents // 100:,}.{cents % 100:02d} {currency}'

def spent(draws, game, tickets):  # "about 7 years at 3 draws a week, 2,080 USD"
    parts = []
    if 'draws_per_week' in game:
        weeks = F(draws) / F(str(game['draws_per_week']))
        year = F('365.2425') / 7
        for unit, per, below in (('minute', 10080, F(2, 168)), ('hour', 168, F(2, 7)), ('day', 7, 2),
                                 ('week', 1, 2 * year), ('year', 1 / year, None)):
            if below is None or weeks < below:
                t = round(weeks * per)
                break
        dpw = game['draws_per_week']
        parts.append(f'about {t:,} {unit}{"" if t == 1 else "s"} at {dpw} draw{"" if dpw == 1 else "s"} a week')
    if 'price' in game and not game.get('keno'):
        parts.append(money(draws * tickets * F(str(game['price'])), game['currency']))
    return ', '.join(parts)

def check(path):
    raw = open(path).read()
    cmd = raw.splitlines()[0]
    if '--json' in cmd or '[exit' in raw: return 0, 0
    # A row's figures that go on under it belong to the row.
    text = re.sub(r'\n    (?=\S)', ' ', raw)
    n = int(re.search(r'--draws[ =](\d+)', cmd).group(1))
    k = int(re.search(r'--tickets[ =](\d+)', cmd).group(1)) if '--tickets' in cmd else 1
    p = F(re.search(r'One ticket: 1 in.*?p = (\d+/\d+)', text, re.S).group(1))
    game_id = cmd.split()[2].split('=')[0]
    folder_games = os.path.join(os.path.dirname(__file__), '..', '..', 'data', 'games')
    game = json.load(open(os.path.join(folder_games, game_id + '.json'))) if game_id != '--odds' else {}
    qf = p * k
    q = mp.mpf(qf.numerator) / qf.denominator
    exact = (1 - qf) ** n if n * max(1, qf.denominator.bit_length()) < 200000 else None
    nowin = mp.mpf(exact.numerator) / exact.denominator if exact is not None else mp.exp(n * mp.log1p(-q))
    atleast = 1 - nowin if exact is None else (1 - exact)
    expect = {
        'At least one win': f'1 in {figure(1 / (atleast if isinstance(atleast, F) else atleast))}  = {percent(atleast * 100, qf == 1)}',
        'No win': '0 (impossible)' if qf == 1 else f'1 in {figure(1 / nowin if exact is None else F(exact.denominator, exact.numerator))}  = {percent(nowin * 100 if exact is None else exact * 100)}',
        'Expected number of wins': f'{percent_fig(qf * n)}  (exactly {(qf * n).numerator}/{(qf * n).denominator})',
        'Draws needed for a 50 %': count(q, mp.mpf(1) / 2), 'Draws needed for a 90 %': count(q, mp.mpf(9) / 10),
        'Draws needed for a 99 %': count(q, mp.mpf(99) / 100)}
    figures = bad = 0
    for name in ('Draws needed for a 50 %', 'Draws needed for a 90 %', 'Draws needed for a 99 %'):
        more = spent(int(expect[name]), game, k) if game and not expect[name].startswith('about') else ''
        if more: expect[name] += ' ' + more
    expect['Independent draws'] = 'Independent draws: ' + f'{n:,}' + (', one ticket in each' if k == 1 else f', {k:,} tickets in each') + (f' ({spent(n, game, k)})' if game and spent(n, game, k) else '')
    verdict = f'In {n:,} draw{"" if n == 1 else "s"}' + (f', {k:,} different tickets in each,' if k > 1 else '') + ' the chance of winning at least once is ' + expect['At least one win'].split('= ')[-1]
    if qf < 1:
        even = count(q, mp.mpf(1) / 2)
        verdict += '; an even chance takes ' + (even if even.startswith('about') else f'{int(even):,}') + (' draw' if even == '1' else ' draws')
        if game and spent(int(count(q, mp.mpf(1) / 2)), game, k): verdict += ': ' + spent(int(count(q, mp.mpf(1) / 2)), game, k)
    expect['In '] = verdict + '.'
    paragraphs = [' '.join(l.strip() for l in block.splitlines()) for block in raw.split('\n\n')]
    for para in paragraphs:
        for key in ('In ', 'Independent draws'):
            # The verdict is a paragraph; the draws end the paragraph of the chances.
            para = para[para.find(key):] if key != 'In ' and key in para else para
            if para.startswith(key):
                figures += 1
                if para.replace(',', '') != expect[key].replace(',', '') or (key == 'In ' and para != expect[key]):
                    bad += 1
                    print(f'{path}: golden "{para}" independent "{expect[key]}"')
    for line in text.splitlines():
        for key, want in expect.items():
            if key in ('In ', 'Independent draws'): continue
            if line.startswith('~ ' + key):
                got = re.sub(r'\s+', ' ', line.split('->')[-1] if '->' in line else line.split(':', 1)[1]).strip()
                got = got.replace(',', '')
                want = want.replace(',', '')
                want = re.sub(r'\s+', ' ', want).strip()
                figures += want.count(' in ') + want.count('%') + (1 if key.startswith('Draws') or key.startswith('Expected') else 0)
                if got != want:
                    bad += 1
                    print(f'{path}: {key}: golden "{got}" independent "{want}"')
    return figures, bad

total = wrong = 0
folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), '..', 'golden')
for path in sorted(glob.glob(folder + '/draws*.txt')):
    f, b = check(path); total += f; wrong += b
print(f'{total} figures checked, {wrong} lines differ')
sys.exit(1 if wrong or not total else 0)
