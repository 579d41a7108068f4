#!/usr/bin/env python3
"""Figures of the weighting evaluation computed outside the program.

Exact fractions for whatever is rational; mpmath at 50 digits for the roots of
weights, logarithms, tails and quantiles. Weighted least squares from its
normal equations (the figures of a weighted lm). tests/stats/weighting_test.cpp
holds what this prints, to 12 significant digits:

    python3 tests/stats/weighting_figures.py
"""
from fractions import Fraction as Fr
import statistics

import mpmath

mpmath.mp.dps = 50

STUDIES = {
    # Five levels of three replicates whose spread grows with the amount.
    "growing": ([1] * 3 + [5] * 3 + [10] * 3 + [50] * 3 + [100] * 3,
                ["1.02", "0.99", "1.01", "5.10", "4.93", "5.04", "10.21", "9.85", "10.08",
                 "51.3", "48.6", "50.9", "103.8", "96.9", "101.2"]),
    # A blank level, a level of one replicate: only the unweighted line.
    "blank": ([0] * 3 + [20] * 3 + [40] * 3 + [60] * 3 + [80],
              ["0.3", "-0.2", "0.1", "20.4", "19.8", "20.1", "40.2", "39.7", "40.5",
               "59.9", "60.4", "60.0", "80.2"]),
    # Levels of 3, 5, 4, 2 and 4 replicates: unequal counts at the ends, in
    # the pooled variance and in the weights of 1/s^2; Grubbs at three sizes.
    "unequal": ([10] * 3 + [20] * 5 + [30] * 4 + [40] * 2 + [50] * 4,
                ["10.12", "9.91", "10.05", "20.31", "19.78", "20.06", "19.92", "20.18",
                 "30.45", "29.62", "30.21", "29.87", "40.66", "39.41", "50.92", "49.35", "50.27", "49.71"]),
    # Amounts below zero, at zero and above, every response positive: the y
    # weights only, with relative errors over |x| and none at x = 0.
    "shifted": ([-10] * 3 + [0] * 3 + [10] * 3 + [20] * 3,
                ["20.15", "19.62", "20.48", "30.11", "29.75", "30.36", "40.52", "39.81", "40.27",
                 "50.34", "49.66", "51.05"]),
    # Responses below zero: the third lies half a unit of its last decimal
    # above its fitted value, -5.175, so its residual's sign is decided by
    # whole numbers rounded towards minus infinity.
    "negative": ([1] * 2 + [2] * 2 + [3] * 2 + [4] * 2,
                 ["-5.99", "-3.16", "-5.17", "-6.76", "-3.51", "-5.76", "-6.74", "-5.83"]),
}

T_TABLE = {13: "2.1604", 11: "2.201", 16: "2.1199", 10: "2.2281", 6: "2.4469", 7: "2.3646"}

# Levels whose amounts were weighed one by one, so that they differ within a
# level: the levels by their replicate counts, not by equal amounts.
LEVELS = {
    "weighed": ([3, 3, 3],
                ["4.98", "5.01", "5.03", "10.02", "9.97", "10.04", "15.01", "14.96", "15.05"],
                ["5.04", "5.02", "5.10", "10.11", "10.02", "10.09", "15.12", "15.08", "15.22"]),
}


def mp(q):
    return mpmath.mpf(q.numerator) / q.denominator


def f_tail(f, d1, d2):
    return mpmath.betainc(mpmath.mpf(d2) / 2, mpmath.mpf(d1) / 2, 0, d2 / (d2 + d1 * mp(f)), regularized=True)


def f_quantile(tail, d1, d2):
    return mpmath.findroot(lambda f: f_tail(Fr(str(f)), d1, d2) - tail, 1 + 1 / mpmath.mpf(d2))


def t_quantile(tail, df):
    upper = lambda t: mpmath.betainc(mpmath.mpf(df) / 2, 0.5, 0, df / (df + t * t), regularized=True) / 2
    return mpmath.findroot(lambda t: upper(t) - tail, 3)


def levels_of(keys, y):
    groups = {}
    for k, yi in zip(keys, y):
        groups.setdefault(k, []).append(yi)
    return list(groups.items())


def var(v):
    m = sum(v) / len(v)
    return sum((a - m) ** 2 for a in v) / (len(v) - 1)


def show(name, v):
    print(f"{name:28s} {mpmath.nstr(v, 12) if not isinstance(v, Fr) else mpmath.nstr(mp(v), 12)}")


def weights(x, y, groups, keys):
    s2 = {k: var(g) for k, g in groups if len(g) >= 2}
    yield "none", None, [Fr(1)] * len(x)
    if all(a > 0 for a in x):
        yield "1/x^0.5", [1 / mpmath.sqrt(mp(a)) for a in x], None
        yield "1/x", None, [1 / a for a in x]
        yield "1/x^2", None, [1 / a ** 2 for a in x]
    if all(b > 0 for b in y):
        yield "1/y^0.5", [1 / mpmath.sqrt(mp(b)) for b in y], None
        yield "1/y", None, [1 / b for b in y]
        yield "1/y^2", None, [1 / b ** 2 for b in y]
    if all(len(g) >= 2 and s2[a] != 0 for a, g in groups):
        yield "1/s^2", None, [1 / s2[k] for k in keys]


def wls(x, y, w, t):
    n = len(x)
    sw = sum(w)
    w = [wi * n / sw for wi in w]  # normalised to a mean of 1
    mx = sum(wi * a for wi, a in zip(w, x)) / n
    my = sum(wi * b for wi, b in zip(w, y)) / n
    sxx = sum(wi * (a - mx) ** 2 for wi, a in zip(w, x))
    b = sum(wi * (a - mx) * (c - my) for wi, a, c in zip(w, x, y)) / sxx
    a0 = my - b * mx
    sse = sum(wi * (c - a0 - b * a) ** 2 for wi, a, c in zip(w, x, y))
    s2 = sse / (n - 2)
    rel = sum(abs(((c - a0) / b - a) / a) for a, c in zip(x, y) if a != 0) * 100
    return b, a0, mpmath.sqrt(s2), mpmath.sqrt(s2 / sxx), mpmath.sqrt(s2 * (mpmath.mpf(1) / n + mx * mx / sxx)), rel


def study(name, xs, ys, counts=None):
    print(f"== {name}")
    x = [Fr(a) for a in xs]
    y = [Fr(b) for b in ys]
    n = len(x)
    keys = [j for j, c in enumerate(counts) for _ in range(c)] if counts else x
    groups = levels_of(keys, y)
    rep = [(a, g) for a, g in groups if len(g) >= 2]
    low, high = min(rep)[1], max(rep)[1]
    vl, vh = var(low), var(high)
    big, small = (high, low) if vh >= vl else (low, high)
    f = var(big) / var(small)
    show("endsF f", f)
    show("endsF p", f_tail(f, len(big) - 1, len(small) - 1))
    if len({len(g) for a, g in groups}) == 1:
        k, r = len(groups), len(groups[0][1])
        v = [var(g) for a, g in groups]
        show("cochran c", max(v) / sum(v))
        fs = f_quantile(mpmath.mpf("0.05") / k, r - 1, (k - 1) * (r - 1))
        show("cochran critical", 1 / (1 + (k - 1) / fs))
    m = len(rep)
    N = sum(len(g) for a, g in rep)
    pooled = sum((len(g) - 1) * var(g) for a, g in rep) / (N - m)
    stat = ((N - m) * mpmath.log(mp(pooled)) - sum((len(g) - 1) * mpmath.log(mp(var(g))) for a, g in rep)) / \
        mp(1 + (sum(Fr(1, len(g) - 1) for a, g in rep) - Fr(1, N - m)) / (3 * (m - 1)))
    show("bartlett", stat)
    show("bartlett p", mpmath.gammainc(mpmath.mpf(m - 1) / 2, stat / 2, mpmath.inf, regularized=True))
    for label, centre in (("levene", lambda g: sum(g) / len(g)), ("brownForsythe", statistics.median)):
        z = [[abs(v - centre(g)) for v in g] for a, g in rep]
        zbar = sum(sum(g) for g in z) / N
        between = sum(len(g) * (sum(g) / len(g) - zbar) ** 2 for g in z) / (m - 1)
        within = sum(sum((v - sum(g) / len(g)) ** 2 for v in g) for g in z) / (N - m)
        if within == 0:  # two replicates a level: each level's deviations are equal
            print(f"{label:28s} undefined")
            continue
        show(label, between / within)
        show(label + " p", f_tail(between / within, m - 1, N - m))
    t = mp(Fr(T_TABLE[n - 2]))
    for wname, wmp, wq in weights(x, y, groups, keys):
        w = wq if wq is not None else wmp
        b, a0, sd, sb, sa, rel = wls([mp(a) for a in x] if wq is None else x,
                                     [mp(c) for c in y] if wq is None else y, w, t)
        print(wname)
        for label, v in (("slope", b), ("intercept", a0), ("sd", sd), ("slopeSe", sb), ("interceptSe", sa),
                         ("sumAbsRelativeError", rel), ("slopeUpperLimit", mp(b) if isinstance(b, Fr) else b)):
            show("  " + label, v + (t * sb if label == "slopeUpperLimit" else 0))
    # Diagnostics of the straight line.
    mx = sum(x) / n
    sxx = sum((a - mx) ** 2 for a in x)
    b = sum((a - mx) * (c - sum(y) / n) for a, c in zip(x, y)) / sxx
    a0 = sum(y) / n - b * mx
    mse = sum((c - a0 - b * a) ** 2 for a, c in zip(x, y)) / (n - 2)
    med = f_quantile(mpmath.mpf("0.5"), 2, n - 2)
    show("median F(2, n-2)", med)
    for i in (0, n - 1):
        h = Fr(1, n) + (x[i] - mx) ** 2 / sxx
        e = y[i] - a0 - b * x[i]
        r2 = e * e / (mse * (1 - h))
        show(f"obs {i + 1} leverage", h)
        show(f"obs {i + 1} studentized", mp(e) / mpmath.sqrt(mp(mse * (1 - h))))
        show(f"obs {i + 1} deleted", mpmath.sign(mp(e)) * mpmath.sqrt(mp(r2 * (n - 3) / (n - 2 - r2))))
        show(f"obs {i + 1} cook", r2 * h / (2 * (1 - h)))
    for a, g in groups:
        if len(g) < 3:
            continue
        mean = sum(g) / len(g)
        G = mp(max(abs(v - mean) for v in g)) / mpmath.sqrt(mp(var(g)))
        N = len(g)
        tq = t_quantile(mpmath.mpf("0.05") / (2 * N), N - 2)
        show(f"grubbs x={a} g", G)
        show(f"grubbs x={a} critical", (N - 1) / mpmath.sqrt(N) * mpmath.sqrt(tq ** 2 / (N - 2 + tq ** 2)))


for name, (xs, ys) in STUDIES.items():
    study(name, xs, ys)
for name, (counts, xs, ys) in LEVELS.items():
    study(name, xs, ys, counts)
