#!/usr/bin/env python3
"""Independent figures for the chance of being behind after n Keno games,
compared with what fortelle-cli keno-return --json gives (the CLI from
$FORTELLE_CLI, default build/fortelle-cli), within the error bound it states.

  tests/independent/check_keno_behind.py METHOD SPOTS PAYS GAMES
  tests/independent/check_keno_behind.py inv 8 5=9,6=95,7=1480,8=18000 100000

Keno 80/20. Methods, none of them the program's:

exact_dp: game-by-game with Fractions (exact, small n).
mp_dp:    game-by-game in mpmath (50 digits), moderate n.
inversion: P(S < T) = (1/M) sum_k f(rho w^k)^n (1 - (rho w^k)^-T) / (1 - (rho w^k)^-1),
           w = exp(2 pi i / M), M = 2T, rho^T = 1e-40: the generating function
           evaluated on a circle, the terms beyond M damped below 1e-40
           (absolute accuracy about 1e-40: not for chances below that).
"""
import os
import sys, json, subprocess
from fractions import Fraction as F
from math import comb
import mpmath as mp

def keno_p(spots, drawn=20, size=80):
    tot = comb(size, drawn)
    return [F(comb(spots, c) * comb(size - spots, drawn - c), tot) for c in range(spots + 1)]

def table(spots, pays):
    p = keno_p(spots)
    by = {}
    for c, pc in enumerate(p):
        if pc == 0: continue
        v = F(pays.get(c, 0))
        by[v] = by.get(v, 0) + pc
    # grid
    from math import lcm, gcd
    L = 1
    for v in by: L = lcm(L, v.denominator)
    g = L
    for v in by: g = gcd(g, (v * L).numerator)
    Q = L // g
    return Q, {int(v * Q): pc for v, pc in by.items()}

def exact_dp(spots, pays, n):
    Q, t = table(spots, pays); T = Q * n
    d = {0: F(1)}
    for _ in range(n):
        nd = {}
        for s, x in d.items():
            for w, pw in t.items():
                if s + w < T: nd[s + w] = nd.get(s + w, 0) + x * pw
        d = nd
    return sum(d.values())

def mp_dp(spots, pays, n):
    mp.mp.dps = 50
    Q, t = table(spots, pays); T = Q * n
    tt = [(w, mp.mpf(pw.numerator) / pw.denominator) for w, pw in t.items() if w < T]
    d = [mp.mpf(0)] * T; d[0] = mp.mpf(1)
    for _ in range(n):
        nd = [mp.mpf(0)] * T
        for s in range(T):
            x = d[s]
            if not x: continue
            for w, pw in tt:
                if s + w < T: nd[s + w] += x * pw
        d = nd
    return mp.fsum(d)

def inversion(spots, pays, n, dps=80):
    mp.mp.dps = dps
    Q, t = table(spots, pays); T = Q * n; M = 2 * T
    rho = mp.mpf(10) ** (mp.mpf(-40) / T)
    terms = [(w, mp.mpf(pw.numerator) / pw.denominator) for w, pw in t.items()]
    rhoT = rho ** (-T)
    total = mp.mpf(0)
    for k in range(0, M // 2 + 1):
        z = rho * mp.expjpi(mp.mpf(2 * k) / M)
        f = mp.fsum(pw * z ** w for w, pw in terms)
        # z^-T = rho^-T (-1)^k since w^(kT) = exp(i pi k)
        g = (1 - rhoT * (-1) ** k) / (1 - 1 / z)
        v = f ** n * g
        total += v.real if k in (0, M // 2) else 2 * v.real
    return total / M

def cli(spots, pays, n):
    pay = ','.join(f'{c}={v}' for c, v in pays.items())
    out = subprocess.run([os.environ.get('FORTELLE_CLI', 'build/fortelle-cli'), 'keno-return', 'keno', str(spots), '--pay', pay,
                          '--games', str(n), '--json'], capture_output=True, text=True).stdout
    j = json.loads(out)
    return j['chance_behind'], j['chance_behind_error']

if __name__ == '__main__':
    method, spots, pays, n = sys.argv[1], int(sys.argv[2]), sys.argv[3], int(sys.argv[4])
    pays = {int(a): b for a, b in (e.split('=') for e in pays.split(','))}
    val = {'exact': exact_dp, 'dp': mp_dp, 'inv': inversion}[method](spots, pays, n)
    c, e = cli(spots, pays, n)
    diff = abs(mp.mpf(c) - (mp.mpf(val.numerator) / val.denominator if isinstance(val, F) else val))
    print(f'{method} spots={spots} pays={sys.argv[3]} n={n}: independent {mp.nstr(mp.mpf(val.numerator)/val.denominator if isinstance(val, F) else val, 20)} cli {c!r} bound {e:.3g} diff {mp.nstr(diff, 3)} {"OK" if diff <= e else "OUTSIDE BOUND"}')
