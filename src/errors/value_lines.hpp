// The value lines a report may print after its message: field widths from the
// machine constants and the exponent form of a double.  Internal to the handler.
#pragma once

#include <string>

namespace errors::detail {

// Field widths of the value lines, derived from MACHINT on every printing call:
// the integer width holds the largest integer (10 columns); the real width is
// the number of significant digits a single-precision fraction carries (8).
struct ValueWidths {
    int integer;
    int real;
};
ValueWidths value_widths();

// A double in exponent form, right-justified in `digits` + 10 columns:
// "-" when negative, ".", `digits` significant digits, then "E", the sign and
// two exponent digits, the exponent being that of 0.d1d2... x 10^e.  The digits
// are rounded half away from zero by way of the 17-digit form, as every number
// the program prints.  An exponent beyond +-99 drops the "E" and takes three
// digits after its sign (".12345679+100"), so the field keeps its width.
// Zero is ".00000000E+00"; a value that is not finite gives the marker texts
// of the fixed-point fields ("1#INF" and the like, filled with ".").
std::string exponent_field(double x, int digits);

}  // namespace errors::detail
