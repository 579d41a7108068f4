#!/usr/bin/env python3
"""Unknown samples and detection limits, computed outside the program.

Reference values for tests/stats/samples_test.cpp, from the published
examples and from studies of our own: every figure with mpmath at 50 digits
from the typed decimals (exact fractions), t quantiles from mpmath's
inverse of the regularized incomplete beta. Not run by the suite:

    python3 tests/stats/sample_figures.py
"""
from fractions import Fraction as Fr

import mpmath

mpmath.mp.dps = 50


def mp(q):
    return mpmath.mpf(q.numerator) / q.denominator


def t_quantile(p, df):
    """The t with P(T ≤ t) = p, p > 1/2, by bisection of its two-sided tail."""
    lo, hi = mpmath.mpf(0), mpmath.mpf(1000)
    target = 2 * (1 - mp(Fr(p)))
    tail = lambda t: mpmath.betainc(mpmath.mpf(df) / 2, mpmath.mpf(1) / 2, 0, df / (df + t * t), regularized=True)
    for _ in range(200):
        mid = (lo + hi) / 2
        if tail(mid) > target:
            lo = mid
        else:
            hi = mid
    return (lo + hi) / 2


class Line:
    def __init__(self, xs, ys):
        self.xs = [Fr(v) for v in xs]
        self.ys = [Fr(v) for v in ys]
        n = self.n = len(self.xs)
        self.mx = sum(self.xs) / n
        self.my = sum(self.ys) / n
        self.sxx = sum((x - self.mx) ** 2 for x in self.xs)
        sxy = sum((x - self.mx) * (y - self.my) for x, y in zip(self.xs, self.ys))
        self.b = sxy / self.sxx
        self.a = self.my - self.b * self.mx
        self.sse = sum((y - self.a - self.b * x) ** 2 for x, y in zip(self.xs, self.ys))
        self.f = n - 2
        self.s = mpmath.sqrt(mp(self.sse / self.f))

    def sample(self, responses, confidence=Fr(95, 100)):
        m = len(responses)
        y0 = sum(Fr(r) for r in responses) / m
        x = (y0 - self.a) / self.b
        se = self.s / abs(mp(self.b)) * mpmath.sqrt(mp(Fr(1, m) + Fr(1, self.n)
                                                       + (y0 - self.my) ** 2 / (self.b ** 2 * self.sxx)))
        t = t_quantile((1 + confidence) / 2, self.f)
        g = t * t * self.s ** 2 / (mp(self.b) ** 2 * mp(self.sxx))
        fieller = None
        if g < 1:
            u = mp(x - self.mx)
            half = t * self.s / abs(mp(self.b)) / (1 - g) * mpmath.sqrt(
                (1 - g) * mp(Fr(1, m) + Fr(1, self.n)) + u * u / mp(self.sxx))
            centre = mp(self.mx) + u / (1 - g)
            fieller = (centre - half, centre + half)
        return mp(x), se, t * se, fieller

    def detection(self, alpha=Fr(1, 100), k=3, m=1):
        sx0 = self.s / abs(mp(self.b))
        vx0 = 100 * sx0 / mp(self.mx)
        t1 = t_quantile(1 - alpha, self.f)
        t2 = t_quantile(1 - alpha / 2, self.f)
        a = mp(Fr(1, m) + Fr(1, self.n))
        ng = sx0 * t1 * mpmath.sqrt(a + mp(self.mx) ** 2 / mp(self.sxx))
        bg = k * sx0 * t2 * mpmath.sqrt(a + (k * ng - mp(self.mx)) ** 2 / mp(self.sxx))
        it = bg
        for _ in range(2000):
            it = k * sx0 * t2 * mpmath.sqrt(a + (it - mp(self.mx)) ** 2 / mp(self.sxx))
        return dict(sx0=sx0, vx0=vx0, ng=ng, eg=2 * ng, bg=bg, bgIterated=it,
                    lod=mpmath.mpf("3.3") * sx0, loq=10 * sx0)


def show(name, values):
    print(name, " ".join(mpmath.nstr(v, 15) if v is not None else "null" for v in values))


if __name__ == "__main__":
    massart = Line(["0", "10", "20", "30", "40", "50"], ["4.0", "21.2", "44.6", "61.8", "78.0", "105.2"])
    x, se, half, _ = massart.sample(["15"])
    show("massart y0=15", [x, se, half])
    x, se, half, _ = massart.sample(["90"] * 5)
    show("massart y0=90 m=5", [x, se, half])
    thermostat = Line([str(t) for t in range(96, 111, 2)],
                      "95.71 98.16 99.52 102.09 103.79 106.18 108.14 110.21".split())
    x, se, half, fieller = thermostat.sample(["104"])
    show("thermostat y0=104", [x, se, half, fieller[0], fieller[1]])
    din = Line(["0.%02d" % v for v in range(5, 55, 5)],
               "3060 3522 3707 4280 5058 5510 5703 6205 7156 7178".split())
    d = din.detection()
    show("din", [d[k] for k in ("sx0", "vx0", "ng", "eg", "bg", "bgIterated", "lod", "loq")])
    # A study of our own: three levels by three replicates, two decimals,
    # two responses per sample, at 99 %.
    own = Line(["80", "80", "80", "100", "100", "100", "120", "120", "120"],
               ["79.52", "80.31", "80.07", "99.88", "100.46", "99.61", "119.35", "120.52", "120.14"])
    x, se, half, fieller = own.sample(["95.20", "95.61"], Fr(99, 100))
    show("own 99% y0=95.20,95.61", [x, se, half, fieller[0], fieller[1]])
    d = own.detection()
    show("own din", [d[k] for k in ("sx0", "vx0", "ng", "eg", "bg", "bgIterated", "lod", "loq")])
