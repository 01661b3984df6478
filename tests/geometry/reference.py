#!/usr/bin/env python3
"""Reference values for the geometry tests, computed with mpmath at 40 digits
from the defining formulas (not from the program's algorithms):

- geodetic -> geocentric latitude and radius on WGS84, and the deflection;
- cap latitude and longitude by rotating unit vectors into the cap frame, and
  the cap pole's azimuth from the point by the spherical azimuth formula;
- the semi-normalised Legendre functions of real degree through the Gauss
  hypergeometric function, their colatitude derivative by numerical
  differentiation, and the normalisation factor through the exact gamma function.

Every input is an exact double (small integers, or the single-precision degrees
widened to double, written with all their digits).  Run with python3 and paste
the printed rows into the tests.
"""
from mpmath import mp, mpf, sin, cos, asin, atan2, sqrt, tan, gamma, hyp2f1, diff, pi, degrees, radians, log

mp.dps = 40

A = mpf('6378.137')
E2 = mpf('0.0066943800229')


def geopos(lat, h):
    phi = radians(lat)
    n = A / sqrt(1 - E2 * sin(phi) ** 2)
    p = (n + h) * cos(phi)
    z = (n + h - E2 * n) * sin(phi)
    psi = atan2(z, p)
    return degrees(psi), sqrt(p * p + z * z), phi - psi


def unit(lat, lon):
    la, lo = radians(lat), radians(lon)
    return [cos(la) * cos(lo), cos(la) * sin(lo), sin(la)]


def dot(u, v):
    return sum(a * b for a, b in zip(u, v))


def cappos(pole_lat, pole_lon, lat, lon):
    """Cap latitude, cap longitude (degrees) and (cos rho, sin rho)."""
    p0, l0 = radians(pole_lat), radians(pole_lon)
    e3 = unit(pole_lat, pole_lon)
    e1 = [sin(p0) * cos(l0), sin(p0) * sin(l0), -cos(p0)]  # towards the South Pole
    e2 = [-sin(l0), cos(l0), 0]                             # east at the pole
    q = unit(lat, lon)
    cap_lat = degrees(asin(dot(q, e3)))
    cap_lon = degrees(atan2(dot(q, e2), dot(q, e1)))
    phi, dl = radians(lat), l0 - radians(lon)
    az = atan2(sin(dl) * cos(p0), cos(phi) * sin(p0) - sin(phi) * cos(p0) * cos(dl))
    return cap_lat, cap_lon, cos(az), -sin(az)


def ptilde(n, m, theta):
    n = mpf(n)
    f = hyp2f1(-n, n + 1, m + 1, sin(theta / 2) ** 2)
    if m == 0:
        return f
    return sqrt(2 * gamma(n + m + 1) / gamma(n - m + 1)) * tan(theta / 2) ** m / gamma(m + 1) * f


def capbas(n, m, colat):
    theta = radians(colat)
    p = ptilde(n, m, theta)
    dp = diff(lambda t: ptilde(n, m, t), theta)
    return p, dp, m * p / sin(theta)


def s(n, m):
    n = mpf(n)
    return sqrt(2 * gamma(n - m + 1) / gamma(n + m + 1))


def g(x):
    return mp.nstr(x, 20, min_fixed=-30, max_fixed=30)


print('// GEOPOS: latitude, height, geocentric latitude, radius, delta (radians)')
for lat, h in [(0, 0), (45, 0), (60, 0), (-45, 0), (45, 10), (90, 0), (-90, 0)]:
    psi, r, d = geopos(mpf(lat), mpf(h))
    print(f'{{{lat}.0, {h}.0, {g(psi)}, {g(r)}, {g(d)}}},')

print('// CAPPOS about (45, 8): point, cap latitude, cap longitude, cos rho, sin rho')
for lat, lon in [(44, 8), (46, 8), (45, 10), (45, 6), (35, -15), (60, 30)]:
    cl, cn, c, sn = cappos(45, 8, mpf(lat), mpf(lon))
    print(f'{{{lat}.0, {lon}.0, {g(cl)}, {g(cn)}, {g(c)}, {g(sn)}}},')

D10 = '2.9322760105133057'
D11 = '2.2753965854644775'
D20 = '5.012004852294922'
D22 = '4.090468883514404'
# Points on the great circle that leaves the cap pole eastwards or westwards,
# where the sine of the cap longitude is +-1 up to rounding: the first two take
# the equality branch of the side test, the last two need the clamp of t.
print('// CAPPOS about (45, 8) at cap longitude +-90: point, cap latitude, cap longitude, cos rho, sin rho')
for lat, lon in [('44.999747800663151', '8.2404156001112785'), ('44.999747800663151', '7.7595843998887206'),
                 ('44.990921756177627', '9.4423454848685591'), ('44.773616403599128', '0.80643938598756026')]:
    cl, cn, c, sn = cappos(45, 8, mpf(lat), mpf(lon))
    print(f'{{{lat}, {lon}, {g(cl)}, {g(cn)}, {g(c)}, {g(sn)}}},')

print('// CAPBAS: m, n, colatitude, P~, dP~/dtheta, m P~ / sin theta')
for n, m, col in [(D10, 0, 20), (D11, 1, 20), (D20, 0, 10), (D20, 1, 10), (D22, 2, 20), (D10, 1, 30)]:
    p, dp, q = capbas(n, m, col)
    print(f'{{{m}, {n}, {col}.0, {g(p)}, {g(dp)}, {g(q)}}},')

print('// CAPNRM: n, m, ln S, S')
for n, m in [(D11, 1), (D22, 2), (D20, 1), ('1.5', 1)]:
    v = s(n, m)
    print(f'{{{n}, {m}, {g(log(v))}, {g(v)}}},')
