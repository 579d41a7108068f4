#!/usr/bin/env python3
"""Reference figures of the quadratic model, computed outside the program.

Exact fractions for the fit and the sums of squares, 50-digit mpmath for
roots and the P of F. Prints, for NIST Pontius, the DIN 38402-51 worked
curve and a replicated study of our own, the figures that
tests/stats/quadratic_test.cpp holds (not run by the suite):

    python3 tests/stats/quadratic_figures.py
"""
import os
from fractions import Fraction as Fr

import mpmath

mpmath.mp.dps = 50


def mp(q):
    return mpmath.mpf(q.numerator) / q.denominator


DATA = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "data")


def pontius():
    rows = [line.split() for line in open(os.path.join(DATA, "nist-pontius.txt")) if not line.startswith("#")]
    return [Fr(x) for y, x in rows], [Fr(y) for y, x in rows]


def solve3(m, v):
    """Gauss-Jordan on exact fractions: m⁻¹ and m⁻¹ v."""
    a = [row[:] + [Fr(int(i == j)) for j in range(3)] + [v[i]] for i, row in enumerate(m)]
    for c in range(3):
        p = next(r for r in range(c, 3) if a[r][c] != 0)
        a[c], a[p] = a[p], a[c]
        a[c] = [e / a[c][c] for e in a[c]]
        for r in range(3):
            if r != c:
                a[r] = [e - a[r][c] * f for e, f in zip(a[r], a[c])]
    return [row[3:6] for row in a], [row[6] for row in a]


def fstat_p(f, d1, d2):
    f = mp(f)
    return mpmath.betainc(mpmath.mpf(d2) / 2, mpmath.mpf(d1) / 2, 0, d2 / (d2 + d1 * f), regularized=True)


def figures(name, xs, ys):
    n = len(xs)
    m = [[sum(x ** (i + j) for x in xs) for j in range(3)] for i in range(3)]
    v = [sum(y * x ** i for x, y in zip(xs, ys)) for i in range(3)]
    inverse, c = solve3(m, v)
    ybar = sum(ys) / n
    syy = sum((y - ybar) ** 2 for y in ys)
    sse = sum((y - c[0] - c[1] * x - c[2] * x * x) ** 2 for x, y in zip(xs, ys))
    s2 = sse / (n - 3)
    out = {"c0": c[0], "c1": c[1], "c2": c[2]}
    for i in range(3):
        out["c%dSe" % i] = mpmath.sqrt(mp(s2 * inverse[i][i]))
    out["sdRegression"] = mpmath.sqrt(mp(s2))
    out["rSquared"] = 1 - sse / syy
    ssr = syy - sse
    out["regressionSs"], out["regressionMs"], out["regressionF"] = ssr, ssr / 2, (ssr / 2) / s2
    out["errorSs"], out["errorMs"] = sse, s2
    levels = sorted(set(xs))
    k = len(levels)
    sspe = Fr(0)
    for level in levels:
        group = [y for x, y in zip(xs, ys) if x == level]
        mean = sum(group) / len(group)
        sspe += sum((y - mean) ** 2 for y in group)
    xbar = sum(xs) / n
    # the straight line, for its lack of fit
    sxx = sum((x - xbar) ** 2 for x in xs)
    b = sum((x - xbar) * (y - ybar) for x, y in zip(xs, ys)) / sxx
    sse1 = syy - b * b * sxx
    if k > 3 and n > k:
        f1 = ((sse1 - sspe) / (k - 2)) / (sspe / (n - k))
        f2 = ((sse - sspe) / (k - 3)) / (sspe / (n - k))
        out["lineLackOfFitF"], out["lineLackOfFitP"] = f1, fstat_p(f1, k - 2, n - k)
        out["lackOfFitF"], out["lackOfFitP"] = f2, fstat_p(f2, k - 3, n - k)
    e = lambda x: c[1] + 2 * c[2] * x
    out["sensitivityLow"], out["sensitivityMean"], out["sensitivityHigh"] = e(levels[0]), e(xbar), e(levels[-1])
    if c[2] != 0:
        out["vertex"] = -c[1] / (2 * c[2])
    out["sx0"] = mpmath.sqrt(mp(s2)) / abs(mp(e(xbar)))
    out["vx0"] = 100 * out["sx0"] / mp(xbar)
    # back-calculation: the root on the levels' side of the vertex
    rel = []
    for x, y in zip(xs, ys):
        if c[2] == 0:
            xb = mp((y - c[0]) / c[1])
        else:
            d = mpmath.sqrt(mp(c[1] ** 2 - 4 * c[2] * (c[0] - y)))
            r1 = (-mp(c[1]) + d) / (2 * mp(c[2]))
            r2 = (-mp(c[1]) - d) / (2 * mp(c[2]))
            v = mp(out["vertex"])
            side = 1 if xbar > out["vertex"] else -1
            xb = r1 if (r1 - v) * side >= 0 else r2
        rel.append(100 * (xb - x) / x)
    out["relativeStandardError"] = mpmath.sqrt(sum(r * r / 10000 for r in rel) / (n - 2)) * 100
    biases = []
    for level in levels:
        group = [r for x, r in zip(xs, rel) if x == level]
        biases.append(sum(group) / len(group))
    out["largestLevelBias"] = max(abs(b) for b in biases)
    print("#", name)
    for key, value in out.items():
        if isinstance(value, Fr):
            value = mp(value)
        print("%-24s %s" % (key, mpmath.nstr(value, 15)))


figures("NIST Pontius", *pontius())
din_x = [Fr(x) for x in range(2, 21, 2)]
din_y = [Fr(y) for y in "0.202 0.399 0.588 0.796 0.997 1.174 1.377 1.534 1.622 1.654".split()]
figures("DIN 38402-51 curvature example", din_x, din_y)
# A curved study with replicates: 5 levels of 3.
own_x = [Fr(x) for x in (2, 2, 2, 4, 4, 4, 6, 6, 6, 8, 8, 8, 10, 10, 10)]
own_y = [Fr(y) for y in "0.21 0.20 0.22 0.40 0.41 0.39 0.57 0.58 0.58 0.72 0.73 0.71 0.84 0.85 0.86".split()]
figures("Curved study of 5 levels of 3", own_x, own_y)
