#!/usr/bin/env python3
"""Printed figures of generated studies, computed outside the program.

The worked studies of tests/data and generated ones. Every figure from the typed decimals with Python's exact fractions; square
roots with 80-digit decimals; the P of F with mpmath's regularized incomplete
beta at 50 digits. Each figure is written as the windows print it: 6
significant digits (r^2 8), a half rounded away from zero. The studies are
drawn with one to three decimals, so that many figures land exactly on a
half. tests/stats/exactfigures_test.cpp compares the program with this file:

    python3 tests/stats/exact_figures.py > tests/stats/exact_figures.txt
"""
import os
import random
from decimal import Decimal, getcontext, ROUND_FLOOR
from fractions import Fraction as Fr

import mpmath

DATA = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "data")
getcontext().prec = 80
mpmath.mp.dps = 50

T_TABLE = [None, "12.706", "4.3027", "3.1825", "2.7764", "2.5706", "2.4469", "2.3646", "2.306", "2.2622",
           "2.2281", "2.201", "2.1788", "2.1604", "2.1448", "2.1315", "2.1199", "2.1098", "2.1009", "2.093",
           "2.086", "2.0796", "2.0739", "2.0687", "2.0639", "2.059"]


RUNS = [(30, "2.0423"), (35, "2.0301"), (40, "2.0211"), (45, "2.0141"), (50, "2.0086"), (60, "2.0003"),
        (70, "1.9945"), (80, "1.9901"), (90, "1.9867"), (100, "1.984"), (120, "1.9799"), (140, "1.9771"),
        (160, "1.9749"), (180, "1.9733"), (200, "1.9719")]
T_TABLE += ["2.0555", "2.0518", "2.0484", "2.0452"]  # 26 to 29


def t_value(df):
    """The tabulated two-sided 95 % t: one value a slot to 29, then runs."""
    if df < 30:
        return Fr(T_TABLE[df])
    return Fr([value for start, value in RUNS if start <= df][-1])


def worked(name):
    """A worked study of tests/data: its replicate counts, x and y as typed."""
    lines = open(DATA + "/" + name, "rb").read().decode("cp1252").split("\r\n")
    k = int(lines[4])
    reps = [int(v) for v in lines[5:5 + k]]
    n = sum(reps)
    xs = lines[5 + k:5 + k + n]
    ys = lines[5 + k + n:5 + k + 2 * n]
    return reps, [v.replace(",", ".") for v in xs], [v.replace(",", ".") for v in ys]


def dec(q):
    return Decimal(q.numerator) / Decimal(q.denominator)


def surd(a, b, c):
    """a + b·√c with rationals, to 80 digits."""
    return dec(a) + dec(b) * dec(c).sqrt()


def general(value, digits):
    """The general number format, a half away from zero; `value` a Decimal."""
    if value == 0:
        return "0"
    negative = value < 0
    v = abs(value)
    exponent = v.adjusted() + 1  # v = 0.d1d2... x 10^exponent
    scaled = v.scaleb(digits - exponent)
    whole = int(scaled.to_integral_value(rounding=ROUND_FLOOR))
    if scaled - whole >= Decimal("0.5"):
        whole += 1
    if whole >= 10 ** digits:
        whole //= 10
        exponent += 1
    kept = str(whole).rstrip("0") or "0"
    n = len(kept)
    text = "-" if negative else ""
    if -3 <= exponent <= digits:
        if exponent <= 0:
            text += "0." + "0" * (-exponent) + kept
        elif n <= exponent:
            text += kept + "0" * (exponent - n)
        else:
            text += kept[:exponent] + "." + kept[exponent:]
    else:
        text += kept[0] + ("." + kept[1:] if n > 1 else "") + "E" + str(exponent - 1)
    return text


def tail(f, d1, d2):
    """P(F(d1, d2) >= f), f a Fraction."""
    if f <= 0:
        return Decimal(1)
    x = Fr(d2) / (d2 + d1 * f)
    p = mpmath.betainc(mpmath.mpf(d2) / 2, mpmath.mpf(d1) / 2, 0, mpmath.mpf(x.numerator) / x.denominator,
                       regularized=True)
    return Decimal(mpmath.nstr(p, 45, min_fixed=1, max_fixed=0).replace("e", "E"))


def figures(reps, xs, ys):
    """The printed figures of a study, or None when the program refuses it."""
    x = [Fr(v) for v in xs]
    y = [Fr(v) for v in ys]
    n = len(x)
    mx, my = sum(x) / n, sum(y) / n
    sxx = sum((v - mx) ** 2 for v in x)
    sxy = sum((u - mx) * (v - my) for u, v in zip(x, y))
    syy = sum((v - my) ** 2 for v in y)
    if sxx == 0 or sxy == 0:
        return None
    b = sxy / sxx
    a = my - b * mx
    sse = syy - b * sxy
    if sse == 0:
        return None
    df = n - 2
    mse = sse / df
    t = t_value(df)
    out = []
    six = lambda key, v: out.append((key, general(v, 6)))

    # The regression.
    vb, va = mse / sxx, mse * (mx * mx / sxx + Fr(1, n))
    six("regression/slope", dec(b))
    six("regression/slopeUpperLimit", surd(b, t, vb))
    six("regression/slopeLowerLimit", surd(b, -t, vb))
    six("regression/slopeT", surd(0, b - 1, 1 / vb))
    six("regression/intercept", dec(a))
    six("regression/interceptUpperLimit", surd(a, t, va))
    six("regression/interceptLowerLimit", surd(a, -t, va))
    six("regression/interceptT", surd(0, a, 1 / va))
    six("regression/sdRegression", surd(0, 1, mse))
    six("regression/coefficientOfVariation", surd(0, 100 * n / sum(y), mse))
    out.append(("regression/rSquared", general(dec(b * sxy / syy), 8)))

    # The analysis of variance.
    ssr = b * sxy
    six("anova/regression/ss", dec(ssr))
    six("anova/regression/f", dec(ssr / mse))
    six("anova/regression/p", tail(ssr / mse, 1, df))
    six("anova/error/ss", dec(sse))
    six("anova/error/ms", dec(mse))
    levels, i = [], 0
    for r in reps:
        levels.append(y[i:i + r])
        i += r
    dpe = n - len(reps)
    if dpe:
        sspe = sum(sum((v - sum(l) / len(l)) ** 2 for v in l) for l in levels)
        if sspe == 0:
            return None
        dlof = df - dpe
        sslof = sse - sspe
        f = (sslof / dlof) / (sspe / dpe)
        six("anova/lackOfFit/ss", dec(sslof))
        six("anova/lackOfFit/ms", dec(sslof / dlof))
        six("anova/lackOfFit/f", dec(f))
        six("anova/lackOfFit/p", tail(f, dlof, dpe))
        six("anova/pureError/ss", dec(sspe))
        six("anova/pureError/ms", dec(sspe / dpe))

    # The residuals.
    for j in range(n):
        pred = b * x[j] + a
        lev = Fr(1, n) + (x[j] - mx) ** 2 / sxx
        if lev == 1:
            return None
        six("residuals/%d/predictedY" % j, dec(pred))
        six("residuals/%d/residual" % j, dec(y[j] - pred))
        six("residuals/%d/studentized" % j, surd(0, y[j] - pred, 1 / ((1 - lev) * mse)))

    # The recovery.
    if all(v != 0 for v in x):
        pct = [100 * v / u for u, v in zip(x, y)]
        mean = sum(pct) / n
        var = sum((p - mean) ** 2 for p in pct) / (n - 1)
        if var != 0 and mean != 0:
            tt = t_value(n - 1)
            six("recovery/meanRecovery", dec(mean))
            six("recovery/sdRecovery", surd(0, 1, var))
            six("recovery/rsdRecovery", surd(0, 100 / mean, var))
            six("recovery/upperLimit", surd(mean, tt, var / n))
            six("recovery/lowerLimit", surd(mean, -tt, var / n))
            six("recovery/tCalculated", surd(0, mean - 100, n / var))
    return out


def decimal_text(value, places):
    return ("%." + str(places) + "f") % value


def generated(rng):
    k = rng.randint(3, 5)
    reps = [rng.randint(1, 5) for _ in range(k)]
    places = rng.randint(1, 3)
    start = rng.choice([0.5, 1, 10, 80, 100, 800])
    step = start * rng.choice([0.1, 0.2, 0.25, 0.5])
    xs, ys = [], []
    for j, r in enumerate(reps):
        amount = decimal_text(start + j * step, places if start < 10 else 0)
        for _ in range(r):
            xs.append(amount)
            noise = rng.gauss(0, 0.01 * float(amount))
            ys.append(decimal_text(float(amount) * rng.choice([0.98, 1, 1.02]) + noise, places))
    return reps, xs, ys


# The worked studies of tests/data, the studies the exact-figures review
# found refused or misjudged, then generated ones.
STUDIES = [worked(name) for name in ("worked-inference.w04", "worked-anova.w04", "worked-biased.w04",
                                     "worked-lackoffit.w04", "worked-longf.w04", "worked-nodependence.w04",
                                     "worked-noreplicates.w04", "worked-recovery100.w04", "worked-25obs.w04",
                                     "worked-40obs.w04")] + [
    ([3, 2, 1, 2, 2], ["800"] * 3 + ["1200"] * 2 + ["1300"] + ["1400"] * 2 + ["1500"] * 2,
     ["802.85", "797.87", "799.16", "1202.45", "1198.57", "1299.20", "1403.16", "1398.58", "1500.68", "1498.43"]),
    ([2, 2, 2, 2], ["1", "1", "2", "2", "3", "3", "4", "4"],
     ["1.0574", "1.0174", "1.9826", "1.9426", "2.9826", "2.9426", "4.0574", "4.0174"]),
    ([2, 2, 2], ["1", "1", "2", "2", "3", "3"], ["1.02", "0.97", "2.10", "2.02", "2.95", "3.05"]),
    ([2, 2, 2], ["1000000000.25", "1000000000.25", "1000000001.5", "1000000001.5", "1000000002.75",
                 "1000000002.75"], ["1000000000.31", "1000000000.2", "1000000001.52", "1000000001.44",
                                    "1000000002.8", "1000000002.71"]),
]

if __name__ == "__main__":
    rng = random.Random(26)
    while len(STUDIES) < 170:
        STUDIES.append(generated(rng))
    print("# Generated by tests/stats/exact_figures.py; do not edit by hand.")
    for reps, xs, ys in STUDIES:
        result = figures(reps, xs, ys)
        if result is None:
            continue
        print("study\t" + " ".join(map(str, reps)))
        print("x\t" + " ".join(xs))
        print("y\t" + " ".join(ys))
        for key, text in result:
            print(key + "\t" + text)
