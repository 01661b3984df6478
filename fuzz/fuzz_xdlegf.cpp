// Fuzz target: XDLEGF with random requests, valid and invalid, with result
// arrays of the size asked or shorter.  Every call either returns or ends
// the run through the message handler; an invalid request is always reported, with the message its first failing rule
// gives, and a valid one never is; a valid request that returns gives
// finite pairs, and for whole degrees the first-kind values agree with an
// independent evaluation of the associated Legendre functions.
//
// Input: byte 0 the mode (raw bit patterns, or requests shaped to be mostly
// valid), then the request's fields, then a byte that may shorten the
// result arrays.
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "fuzz_support.hpp"
#include "legendre/constants.hpp"
#include "legendre/legendre.hpp"
#include "textio/textio.hpp"

namespace {

constexpr std::int64_t MAX_RESULTS = 2000;  // room the target provides for results
// The order conversion forms a product of 2 mu factors: a cost linear in the
// order by design, so valid requests of higher orders are not run.
constexpr std::int32_t MAX_VALID_ORDER = 5000;

const char* const BAD_REQUEST = "XDLEGF: DNU1,NUDIFF,MU1,MU2, OR ID NOT VALID";
const char* const BAD_THETA = "XDLEGF: THETA OUT OF RANGE";

struct Request {
    double DNU1;
    std::int32_t NUDIFF, MU1, MU2;
    double THETA;
    std::int32_t ID;
};

std::string describe(const Request& r)
{
    char text[256];
    std::snprintf(text, sizeof text, "XDLEGF(DNU1=%a, NUDIFF=%d, MU1=%d, MU2=%d, THETA=%a, ID=%d)", r.DNU1, r.NUDIFF,
                  r.MU1, r.MU2, r.THETA, r.ID);
    return text;
}

// The error number the request's first failing rule reports, 0 when valid.
// Beyond the argument ranges, the package refuses a degree ladder reaching
// past MAX_DEGREE (its cost grows with the last degree) and the second kind
// at degree -1 (a pole).
int expected_error(const Request& r)
{
    const double HALFPI = 2.0 * std::atan(1.0);
    if (r.NUDIFF < 0) return 1;
    if (!(r.DNU1 >= -1.0 && r.DNU1 + r.NUDIFF <= legendre::detail::MAX_DEGREE)) return 1;
    if (r.MU2 < r.MU1) return 1;
    if (r.MU1 < 0) return 1;
    if (!(r.THETA > 0.0 && r.THETA <= HALFPI)) return 2;
    if (r.ID < 1 || r.ID > 4) return 1;
    if (r.MU1 != r.MU2 && r.NUDIFF > 0) return 1;
    if (r.ID == 4 && std::fmod(r.DNU1, 1.0) != 0.0) return 1;
    if (r.ID == 2 && r.DNU1 == -1.0) return 1;
    return 0;
}

struct Files {
    fuzz::MemFile output{"output"};
    fuzz::MemFile errors{"errors"};
};

Files& files()
{
    static Files f;
    return f;
}

// P^(-m)_n(x) * (n+m)!/(n-m)! for whole n >= m >= 0, without the factor
// (-1)^m: the standard recurrence in the degree.
double associated_legendre(int n, int m, double x)
{
    double pmm = 1.0;
    const double s = std::sqrt((1.0 - x) * (1.0 + x));
    for (int i = 1; i <= m; ++i) pmm *= (2.0 * i - 1.0) * s;
    if (n == m) return pmm;
    double p1 = x * (2.0 * m + 1.0) * pmm;
    if (n == m + 1) return p1;
    double p0 = pmm;
    for (int l = m + 2; l <= n; ++l) {
        const double p = ((2.0 * l - 1.0) * x * p1 - (l + m - 1.0) * p0) / (l - m);
        p0 = p1;
        p1 = p;
    }
    return p1;
}

// Checks whole-degree first-kind values against the recurrence.
void check_values(const Request& r, const std::vector<double>& RES, const std::vector<std::int32_t>& IRES)
{
    if (r.ID != 1 && r.ID != 3) return;
    if (std::fmod(r.DNU1, 1.0) != 0.0 || r.DNU1 < 0.0 || r.DNU1 + r.NUDIFF > 60 || r.MU2 > 40) return;
    const double x = std::cos(r.THETA);
    for (std::size_t i = 0; i < RES.size(); ++i) {
        const int n = static_cast<int>(r.DNU1) + (r.MU1 == r.MU2 ? static_cast<int>(i) : 0);
        const int m = r.MU1 + (r.MU1 == r.MU2 ? 0 : static_cast<int>(i));
        double want;
        double scale;  // the size of the function's values over the colatitudes
        if (m > n) {
            if (r.ID == 1) continue;  // P^(-m)_n does not vanish for m > n
            want = 0.0;
            scale = 1.0;
        } else {
            const double ratio = std::exp(std::lgamma(n + m + 1.0) - std::lgamma(n - m + 1.0));
            want = associated_legendre(n, m, x);
            scale = std::sqrt(ratio) * (n + 1);
            if (r.ID == 3) {
                if (m % 2 == 1) want = -want;
            } else {
                want /= ratio;
                scale /= ratio;
            }
        }
        const double got = std::ldexp(RES[i], IRES[i]);
        if (!(std::fabs(got - want) <= 1e-9 * (std::fabs(want) + scale))) {
            fuzz::broken(describe(r) + ": entry " + std::to_string(i + 1) + " (degree " + std::to_string(n) + ", order " +
                         std::to_string(m) + ") is " + std::to_string(got) + ", the recurrence gives " + std::to_string(want));
        }
    }
}

// shortfall: how many entries fewer than NRES the result arrays hold.  A
// request whose results would not fit is refused (error 1) once the
// colatitude has passed its check.
void call(const Request& r, std::int64_t shortfall)
{
    const std::int64_t nres = std::int64_t{r.MU2} - r.MU1 + r.NUDIFF + 1;
    if (nres > MAX_RESULTS) return;
    const std::size_t room = nres - shortfall > 0 ? static_cast<std::size_t>(nres - shortfall) : 0;
    int error = expected_error(r);
    if (error != 2 && static_cast<std::int64_t>(room) < nres) error = 1;
    if (error == 0 && r.MU2 > MAX_VALID_ORDER) return;
    std::vector<double> RES(room, 12345.0);
    std::vector<std::int32_t> IRES(room, 777);

    Files& f = files();
    f.output.clear();
    f.errors.clear();
    textio::bind_console({-1, f.output.fd(), f.errors.fd(), false});
    bool returned = false;
    const int status = textio::run_program([&] {
        legendre::XDLEGF(r.DNU1, r.NUDIFF, r.MU1, r.MU2, r.THETA, r.ID, RES, IRES);
        returned = true;
    });
    const std::string out = f.output.get();
    const std::string what = describe(r);

    if (returned) {
        FUZZ_CHECK(error == 0, what + " returned although invalid (error " + std::to_string(error) + " expected)");
        FUZZ_CHECK(status == 0 && out.empty(), what + " returned but wrote " + fuzz::shown(out));
        for (std::size_t i = 0; i < room; ++i) {
            FUZZ_CHECK(std::isfinite(RES[i]), what + ": entry " + std::to_string(i + 1) + " is not finite");
        }
        check_values(r, RES, IRES);
        return;
    }
    // The run ended through the message handler: a recoverable error made
    // fatal, its message, the abort text, and the stop.
    const std::string ending = "Stop - Program terminated.\r\n\r\n";
    FUZZ_CHECK(out.size() >= ending.size() && out.compare(out.size() - ending.size(), ending.size(), ending) == 0,
                what + " ended without the stop text: " + fuzz::shown(out));
    FUZZ_CHECK(out.find("RECOVERABLE ERROR IN...") != std::string::npos, what + ": no heading in " + fuzz::shown(out));
    FUZZ_CHECK(status == 1, what + ": a fatal report should end with status 1, got " + std::to_string(status));
    FUZZ_CHECK(f.errors.get().empty(), what + ": wrote on standard error");
    const bool bad_request = out.find(BAD_REQUEST) != std::string::npos;
    const bool bad_theta = out.find(BAD_THETA) != std::string::npos;
    if (error == 0) {
        FUZZ_CHECK(!bad_request && !bad_theta, what + " is valid but was rejected: " + fuzz::shown(out));
    } else {
        FUZZ_CHECK(error == 1 ? bad_request : bad_theta,
                    what + " should report error " + std::to_string(error) + ", wrote " + fuzz::shown(out));
        // The results were zeroed before the request was checked.
        for (std::size_t i = 0; i < room; ++i) {
            FUZZ_CHECK(RES[i] == 0.0 && IRES[i] == 0, what + ": results not zeroed before the report");
        }
        if (error == 2) FUZZ_CHECK(out.find("THETA:") != std::string::npos, what + ": no THETA line");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::Bytes bytes(data, size);
    const auto mode = bytes.take<std::uint8_t>();
    Request r{};
    if (mode & 1) {
        // Raw bit patterns: mostly invalid requests, every kind of double.
        r.DNU1 = bytes.take<double>();
        r.NUDIFF = bytes.take<std::int32_t>();
        r.MU1 = bytes.take<std::int32_t>();
        r.MU2 = bytes.take<std::int32_t>();
        r.THETA = bytes.take<double>();
        r.ID = bytes.take<std::int32_t>();
    } else {
        // Shaped: degrees from -1 up, small runs, colatitudes over the range
        // and a little beyond, families 0..5; whole degrees half of the time.
        const auto degree = bytes.take<std::uint16_t>();
        const auto fraction = bytes.take<std::uint16_t>();
        r.DNU1 = -1.0 + degree % 400 + ((mode & 2) ? fraction / 65536.0 : 0.0);
        if (mode & 4) r.DNU1 = -1.0 + degree * 16.0 + fraction / 65536.0;
        r.NUDIFF = bytes.take<std::uint8_t>() % 24 - ((mode & 8) ? 2 : 0);
        r.MU1 = bytes.take<std::uint8_t>() % 64 - ((mode & 16) ? 2 : 0);
        r.MU2 = r.MU1 + ((mode & 32) ? bytes.take<std::uint8_t>() % 24 : 0);
        const auto angle = bytes.take<std::uint16_t>();
        const double HALFPI = 2.0 * std::atan(1.0);
        r.THETA = (mode & 64) ? std::nextafter(HALFPI, 2.0 * (angle & 1)) : HALFPI * (angle + 1) / 65000.0;
        r.ID = bytes.take<std::uint8_t>() % 6;
        if (mode & 128) r.NUDIFF = r.MU1 == r.MU2 ? r.NUDIFF : 0;
    }
    // Now and then result arrays too short for the request.
    const auto room = bytes.take<std::uint8_t>();
    call(r, (room & 0x80) ? 1 + (room & 7) : 0);
    return 0;
}
