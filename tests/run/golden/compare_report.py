#!/usr/bin/python3
"""Compare a grid report written by the program with the independent rows.

    /usr/bin/python3 tests/run/golden/compare_report.py REPORT EPOCH

EPOCH must be one of the epochs of independent_rows.csv (written as there,
e.g. 1712.5). For every sample node of that epoch the report row
(longitude outer, latitude inner, first row in record 9) is compared, field by
field, with the independent value rendered with 2 decimals, rounded half away
from zero, no digit before the point below 1 in magnitude, no sign for a value
that rounds to zero. Exit status 0 when all fields match, 1 otherwise.
"""

import csv
import os
import sys
from decimal import Decimal, ROUND_HALF_UP

HERE = os.path.dirname(os.path.abspath(__file__))
WIDTHS = (7, 8, 10, 11, 12, 12)


def fixed2(text, width):
    q = Decimal(text).quantize(Decimal("0.01"), rounding=ROUND_HALF_UP)
    neg = q < 0
    q = abs(q)
    digits = format(q, "f")
    if digits.startswith("0."):
        digits = digits[1:]
    if neg and q != 0:
        digits = "-" + digits
    return digits.rjust(width)


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    report, epoch = sys.argv[1], sys.argv[2]
    with open(report, "rb") as fh:
        records = fh.read().split(b"\r\n")
    with open(os.path.join(HERE, "independent_rows.csv")) as fh:
        rows = [r for r in csv.DictReader(fh) if r["epoch"] == epoch]
    if not rows:
        sys.exit("no independent rows for epoch " + epoch)
    bad = 0
    for r in rows:
        lat, lon = int(r["lat"]), int(r["lon"])
        line = records[8 + (lon + 15) * 26 + (lat - 35)].decode("ascii")
        want = "".join(fixed2(r[k], w) for k, w in
                       zip(("FLAT", "FLON", "DEC", "INC", "EDEC", "EINC"), WIDTHS))
        if line != want:
            bad += 1
            print("node (%d,%d):\n  report      %r\n  independent %r" % (lat, lon, line, want))
    print("%d of %d sample rows match" % (len(rows) - bad, len(rows)))
    sys.exit(1 if bad else 0)


if __name__ == "__main__":
    main()
