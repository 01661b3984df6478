#!/usr/bin/python3
"""Writes legendre_reference.csv: Ferrers functions at x = cos(theta) to 20
significant digits, computed with mpmath at two working precisions.

Families (the selector ID of XDLEGF):
  1  P^(-mu)_nu(x)   first kind, negative order
  2  Q^(mu)_nu(x)    second kind
  3  P^(mu)_nu(x)    first kind, positive order, with the factor (-1)^mu,
                     so that P^1_1(cos t) = -sin t

Run with the system interpreter that has python3-mpmath:
  /usr/bin/python3 generate_legendre_reference.py [output.csv]
The script checks the conventions against closed forms first and exits with
status 1 if any check fails or if any value cannot be fixed to 20 digits.
"""

import math
import sys

from mpmath import mp, mpf

DIGITS = 20            # significant digits written
BASE_DPS = 60          # working precision of the first run
CHECK_DPS = 120        # second run; both must give the same 20 digits
FALLBACK_DPS = 240     # third run, used only when the first two disagree

BASE_DEGREES = [0.5, 1.5, 2.2753965854644775, 2.9322760105133057,
                4.090468883514404, 5.012004852294922]
WHOLE_DEGREES = [0.0, 1.0, 2.0, 3.0]
ORDERS = [0, 1, 2, 5, 10, 200]
THETAS = [1e-6, 1e-3, 0.1, 0.35, 0.7, 1.0, 2.0 * math.atan(1.0)]


def degrees():
    """The base degrees, each of them minus one (double subtraction), and
    the whole degrees; duplicates dropped, first occurrence kept."""
    out = []
    for d in BASE_DEGREES + [b - 1.0 for b in BASE_DEGREES] + WHOLE_DEGREES:
        if d not in out:
            out.append(d)
    return out


def xcos(theta):
    """x = cos(theta) for the exact double theta, at the working precision."""
    return mp.cos(mpf(theta))


def p_neg(nu, mu, x):
    """Family 1: Ferrers P^(-mu)_nu(x) = t^mu/mu! 2F1(-nu, nu+1; mu+1; s)
    with t = tan(theta/2), s = sin^2(theta/2) (mpmath type 2)."""
    return mp.legenp(mpf(nu), -mu, x, type=2)


def p_pos(nu, mu, x):
    """Family 3: P^(mu)_nu = (-1)^mu Gamma(nu+mu+1)/Gamma(nu-mu+1) P^(-mu)_nu.
    1/Gamma is used so that a whole degree below the order gives exact 0."""
    nu = mpf(nu)
    ratio = mp.gamma(nu + mu + 1) * mp.rgamma(nu - mu + 1)
    if ratio == 0:
        return mpf(0)
    return (-1) ** mu * ratio * p_neg(nu, mu, x)


def q_fun(nu, mu, x):
    """Family 2: Ferrers Q^(mu)_nu(x) (mpmath type 2)."""
    return mp.legenq(mpf(nu), mu, x, type=2)


FAMILIES = {1: p_neg, 2: q_fun, 3: p_pos}


def q_by_recurrence(nu, mu, x):
    """Q^(mu)_nu climbed from orders 0 and 1 with
    Q^(m+1) = -2 m x / sqrt(1-x^2) Q^(m) - (nu-m+1)(nu+m) Q^(m-1)."""
    nu = mpf(nu)
    c = 1 / mp.sqrt(1 - x * x)
    q0, q1 = q_fun(nu, 0, x), q_fun(nu, 1, x)
    if mu == 0:
        return q0
    for m in range(1, mu):
        q0, q1 = q1, -2 * m * x * c * q1 - (nu - m + 1) * (nu + m) * q0
    return q1


def split(value):
    """(mantissa string with DIGITS significant digits, exponent10)."""
    if value == 0:
        return "0", 0
    text = mp.nstr(value, DIGITS, strip_zeros=False,
                   min_fixed=mp.inf, max_fixed=-mp.inf)
    mant, _, exp = text.partition("e")
    exp = int(exp) if exp else 0
    if "." not in mant or len(mant.lstrip("-").replace(".", "")) != DIGITS:
        raise ValueError("unexpected rendering " + text)
    lead = mant.lstrip("-")
    if not ("1" <= lead[0] <= "9" and lead[1] == "."):
        raise ValueError("mantissa not normalised: " + text)
    return mant, exp


failures = []


def check(name, got, want, rel):
    """Compares one value with its closed form; the tolerance is relative
    for values above 1 and absolute below."""
    ok = abs(got - want) <= rel * max(abs(want), 1)
    print("  %-46s %-28s %s" % (name, mp.nstr(got, 20), "ok" if ok else
                                "FAILED, expected " + mp.nstr(want, 20)))
    if not ok:
        failures.append(name)


def self_check():
    """The conventions at theta = pi/3 (the double math.pi/3)."""
    mp.dps = BASE_DPS
    t = mpf(math.pi / 3)
    x = mp.cos(t)
    sn = mp.sin(t)
    tight = mpf(10) ** -40    # closed forms at the same double theta
    loose = mpf(10) ** -15    # closed forms at exact pi/3
    r3 = mp.sqrt(3)
    print("convention checks at theta = pi/3:")
    check("P^(1)_1 = -sin t", p_pos(1.0, 1, x), -sn, tight)
    check("P^(-1)_1 = sin(t)/2", p_neg(1.0, 1, x), sn / 2, tight)
    check("Q^0_0 = -ln tan(t/2)", q_fun(0.0, 0, x), -mp.log(mp.tan(t / 2)), tight)
    check("Q^0_0 = ln sqrt(3)", q_fun(0.0, 0, x), mp.log(r3), loose)
    check("Q^1_0 = -1/sin t", q_fun(0.0, 1, x), -1 / sn, tight)
    check("Q^1_0 = -2/sqrt(3)", q_fun(0.0, 1, x), -2 / r3, loose)
    check("Q^2_0 = 4/3", q_fun(0.0, 2, x), mpf(4) / 3, loose)
    check("Q^0_1 ~ -0.725", q_fun(1.0, 0, x), mpf("-0.725"), mpf("0.0007"))
    check("Q^0_2 ~ -0.819", q_fun(2.0, 0, x), mpf("-0.819"), mpf("0.0007"))
    check("P^0_2 = (3x^2 - 1)/2", p_neg(2.0, 0, x), (3 * x * x - 1) / 2, tight)
    check("P^0_2 = -1/8", p_neg(2.0, 0, x), mpf(-1) / 8, loose)
    check("P^(-1)_2 = sqrt(3)/8", p_neg(2.0, 1, x), r3 / 8, loose)
    check("P^(-1)_2 = x sin(t)/2", p_neg(2.0, 1, x), x * sn / 2, tight)
    check("P^(-2)_2 = 3/32", p_neg(2.0, 2, x), mpf(3) / 32, loose)
    check("P^(-2)_2 = sin^2(t)/8", p_neg(2.0, 2, x), sn ** 2 / 8, tight)
    check("P^(1)_2 = -3 x sin t", p_pos(2.0, 1, x), -3 * x * sn, tight)
    check("P^(2)_2 = 3 sin^2 t", p_pos(2.0, 2, x), 3 * sn ** 2, tight)
    check("P^(2)_3 = 15 x sin^2 t", p_pos(3.0, 2, x), 15 * x * sn ** 2, tight)
    check("P_0.5 ~ 0.795", p_neg(0.5, 0, x), mpf("0.795"), mpf("0.0007"))
    check("P^(-1)_1.5 ~ 0.327", p_neg(1.5, 1, x), mpf("0.327"), mpf("0.0016"))
    check("P^(1)_1.5 ~ -1.23", p_pos(1.5, 1, x), mpf("-1.23"), mpf("0.0041"))
    check("P^(1)_2.9322760105133057 ~ -0.431",
          p_pos(2.9322760105133057, 1, x), mpf("-0.431"), mpf("0.0012"))
    zero = p_pos(1.0, 2, x)
    print("  %-46s %-28s %s" % ("P^(2)_1 = 0 exactly", mp.nstr(zero, 5),
                                "ok" if zero == 0 else "FAILED"))
    if zero != 0:
        failures.append("P^(2)_1 = 0")
    # Order recurrence of the second kind, and the positive-order conversion
    # against mpmath's own P^(mu), at a real degree.
    for nu in (0.5, 2.2753965854644775):
        for mu in (2, 5):
            check("Q^%d_%r by the order recurrence" % (mu, nu),
                  q_fun(nu, mu, x), q_by_recurrence(nu, mu, x), tight)
            check("P^(%d)_%r against mpmath legenp" % (mu, nu),
                  p_pos(nu, mu, x), mp.legenp(mpf(nu), mu, x, type=2), tight)


def table_at(dps, keys):
    """Values as (mantissa, exponent10) for the given (id, nu, mu, theta)."""
    mp.dps = dps
    cos_cache = {}
    out = {}
    for key in keys:
        fam, nu, mu, theta = key
        if theta not in cos_cache:
            cos_cache[theta] = xcos(theta)
        out[key] = split(FAMILIES[fam](nu, mu, cos_cache[theta]))
    return out


def main():
    path = sys.argv[1] if len(sys.argv) > 1 else "legendre_reference.csv"
    self_check()
    if failures:
        print("convention checks FAILED:", ", ".join(failures))
        return 1

    keys = []
    for fam in (1, 2, 3):
        for nu in degrees():
            if fam == 2 and nu == -1.0:
                continue
            for mu in ORDERS:
                for theta in THETAS:
                    keys.append((fam, nu, mu, theta))

    first = table_at(BASE_DPS, keys)
    second = table_at(CHECK_DPS, keys)
    unstable = [k for k in keys if first[k] != second[k]]
    fixed, dropped = 0, []
    if unstable:
        third = table_at(FALLBACK_DPS, unstable)
        for k in unstable:
            if third[k] == second[k]:
                first[k] = second[k]
                fixed += 1
            else:
                dropped.append(k)

    # Cross-check of the second kind against the order recurrence.
    mp.dps = CHECK_DPS
    mismatch = 0
    for k in keys:
        fam, nu, mu, theta = k
        if fam == 2 and mu > 1 and k not in dropped:
            if split(q_by_recurrence(nu, mu, xcos(theta))) != first[k]:
                mismatch += 1
                print("recurrence disagrees:", k)

    with open(path, "w") as f:
        f.write("id,degree,order,theta,mantissa,exponent10\n")
        for k in keys:
            if k in dropped:
                continue
            fam, nu, mu, theta = k
            mant, exp = first[k]
            f.write("%d,%r,%d,%r,%s,%d\n" % (fam, nu, mu, theta, mant, exp))

    print("rows written: %d; fixed from a higher precision: %d; dropped: %d;"
          " second kind off the recurrence: %d"
          % (len(keys) - len(dropped), fixed, len(dropped), mismatch))
    for k in dropped:
        print("dropped (digits not stable):", k)
    return 1 if (dropped or mismatch) else 0


if __name__ == "__main__":
    sys.exit(main())
