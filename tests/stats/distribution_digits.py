# Fifty-digit tails and quantiles of F and t, and Grubbs' critical values,
# from mpmath's incomplete beta function at 70 digits, for
# distributions_test.cpp: the cases where the closed forms subtract or
# where a general method lost digits. Not run by the tests: run it by hand
# (python3 tests/stats/distribution_digits.py > tests/stats/distribution_digits.txt).
# Each line: what, df1, df2, the argument as an exact fraction, the value.
from fractions import Fraction

from mpmath import betainc, findroot, mp, mpf, sqrt

mp.dps = 70


def tail(f, m, n):
    return betainc(mpf(n) / 2, mpf(m) / 2, 0, mpf(n) / (n + m * f), regularized=True)


def fquantile(p, m, n):
    # Newton on the logarithm of the tail, from a bracket of bisections.
    low, high = mpf(0), mpf(1)
    while tail(high, m, n) > p:
        low, high = high, high * 2
    for _ in range(60):
        middle = (low + high) / 2
        if tail(middle, m, n) > p:
            low = middle
        else:
            high = middle
    return findroot(lambda f: tail(f, m, n) - p, (low + high) / 2, tol=mpf(10) ** -65)


def tquantile(p, v):
    if p == Fraction(1, 2):
        return mpf(0)
    if p > Fraction(1, 2):
        return -tquantile(1 - p, v)
    return sqrt(fquantile(2 * mpf(p.numerator) / p.denominator, 1, v))


def value(text):
    q = Fraction(text)
    return mpf(q.numerator) / q.denominator


def out(what, m, n, arg, v):
    print(f"{what} {m} {n} {arg} {mp.nstr(v, 50, min_fixed=0, max_fixed=0)}")


tails = [(1, 1, "1267650600228229401496703205376"), (1, 30, "1267650600228229401496703205376"),
         (1, 30, "3"), (1, 30, "33/8"), (2, 2, "1/2"), (3, 4, "3"), (4, 3, "3"), (5, 7, "33/8"),
         (7, 5, "1024"), (2, 7, "1/1024"), (7, 2, "1/1048576"), (59, 60, "3"), (60, 59, "3"),
         (1, 60, "12"), (3, 60, "9"), (1, 59, "12"), (5, 59, "5"), (59, 1, "1024"),
         (11, 12, "1099511627776"), (1, 2, "1099511627776"), (3, 1, "1/2")]
for m, n, f in tails:
    out("ftail", m, n, f, tail(value(f), m, n))
for m, n, p in [(1, 30, "1/20"), (3, 3, "1/2"), (5, 5, "1/2"), (10, 10, "1/2"), (2, 22, "1/2"),
                (1, 23, "1/1000"), (4, 20, "1/100"), (59, 60, "1/20"), (1, 1, "1/2"), (3, 40, "1/4000")]:
    out("fquantile", m, n, p, fquantile(value(p), m, n))
for v, p in [(30, "1/20"), (30, "1/1280"), (1, "19/20"), (2, "1/100"), (23, "1/1000"), (7, "3/4")]:
    out("tquantile", v, 0, p, tquantile(Fraction(p), v))
for N in [3, 10, 25]:
    t = tquantile(Fraction(1, 40 * N), N - 2)
    out("grubbs", N, 0, "-", (N - 1) / sqrt(N) * sqrt(t * t / (N - 2 + t * t)))
