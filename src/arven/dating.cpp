// Dating densities, their normalisation and highest-density intervals.
#include "arven/dating.hpp"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <numeric>

namespace arven {
namespace {

constexpr double DEGREE = 0.017453292519943295;   // radians per degree
constexpr double SIGMA_95 = 1.96;                 // a 95 % error is 1.96 sigma
constexpr double ALPHA95_PER_SIGMA = 2.448;       // a95 = 2.448 sigma_I
constexpr double CHI2_2DOF_95 = 5.991464547107979;

// Trapezoidal weights of the epochs: the integral of f is sum w_i f_i.
std::vector<double> trapezoid_weights(const std::vector<double>& t) {
    std::vector<double> w(t.size(), 0.0);
    for (std::size_t i = 0; i + 1 < t.size(); ++i) {
        const double half = 0.5 * (t[i + 1] - t[i]);
        w[i] += half;
        w[i + 1] += half;
    }
    return w;
}

// Difference of two angles wrapped into (-180, 180], degrees.
double wrapped(double a, double b) {
    double d = std::fmod(a - b, 360.0);
    if (d > 180.0) d -= 360.0;
    if (d <= -180.0) d += 360.0;
    return d;
}

// Turns log-densities (in place) into densities: exp of the values shifted
// by their maximum, so that they never all underflow, normalised to unit area.
void normalise_logs(std::vector<double>& p, const std::vector<double>& w) {
    const double top = *std::max_element(p.begin(), p.end());
    double area = 0.0;
    for (std::size_t i = 0; i < p.size(); ++i) {
        p[i] = std::exp(p[i] - top);
        area += w[i] * p[i];
    }
    const double scale = 1.0 / area;
    for (double& v : p) v *= scale;
}

// Densities (in place) scaled to unit area; false when all are zero.
bool normalise(std::vector<double>& p, const std::vector<double>& w) {
    double area = 0.0;
    for (std::size_t i = 0; i < p.size(); ++i) area += w[i] * p[i];
    if (!(area > 0.0) || !std::isfinite(area)) return false;
    const double scale = 1.0 / area;
    for (double& v : p) v *= scale;
    return true;
}

// The bin of a density value below the peak: quarter octaves counted down
// from the peak's, read from the bits of the (positive) doubles, whose order
// is the order of the values.  Zero and anything 64 octaves down share the
// last bin.
constexpr std::size_t LEVEL_BINS = 256;

std::size_t level_bin(double value, std::uint64_t peak_key) {
    const std::uint64_t key = std::bit_cast<std::uint64_t>(value) >> 50;
    const std::uint64_t below = peak_key - key;
    return below < LEVEL_BINS ? static_cast<std::size_t>(below) : LEVEL_BINS - 1;
}

// The level h such that the epochs with density >= h hold `mass` of the
// area.  The densities are first counted into bins of value; whole bins above
// the one where the mass is reached are taken at once, and only the epochs of
// that bin are sorted.  This keeps the work linear in the number of epochs (a
// full sort per density would dominate a batch).
double hpd_level(const std::vector<double>& density, const std::vector<double>& w, double mass,
                 std::vector<std::size_t>& idx) {
    const double peak = *std::max_element(density.begin(), density.end());
    const std::uint64_t peak_key = std::bit_cast<std::uint64_t>(peak) >> 50;
    std::array<double, LEVEL_BINS> bin_mass{};
    double total = 0.0;
    for (std::size_t i = 0; i < density.size(); ++i) {
        const double m = w[i] * density[i];
        total += m;
        bin_mass[level_bin(density[i], peak_key)] += m;
    }
    double need = mass * total;
    std::size_t bin = 0;
    for (; bin + 1 < LEVEL_BINS && bin_mass[bin] < need; ++bin) need -= bin_mass[bin];
    idx.clear();
    for (std::size_t i = 0; i < density.size(); ++i) {
        if (level_bin(density[i], peak_key) == bin) idx.push_back(i);
    }
    if (idx.empty()) return 0.0;   // rounding left the mass just short: every epoch
    std::sort(idx.begin(), idx.end(), [&](std::size_t a, std::size_t b) { return density[a] > density[b]; });
    double level = density[idx.front()];
    for (std::size_t i : idx) {
        level = density[i];
        need -= w[i] * density[i];
        if (need <= 0.0) break;
    }
    return level;
}

// The runs of consecutive epochs with density >= level.
std::vector<Interval> runs_at_level(const std::vector<double>& epochs, const std::vector<double>& density,
                                    double level) {
    std::vector<Interval> out;
    for (std::size_t i = 0; i < epochs.size(); ++i) {
        if (!(density[i] >= level)) continue;
        if (!out.empty() && i > 0 && density[i - 1] >= level) {
            out.back().to = epochs[i];
        } else {
            out.push_back({epochs[i], epochs[i]});
        }
    }
    return out;
}

// An epoch as text: whole years without decimals.
std::string epoch_text(double t) { return t == std::floor(t) ? fixed(t, 0) : fixed(t, 2); }

}  // namespace

void check_measurement(const Measurement& m) {
    if (!std::isfinite(m.dec)) throw Error("declination must be a finite number of degrees");
    if (!(m.inc > -90.0 && m.inc < 90.0)) {
        throw Error("inclination must lie strictly between -90 and 90 degrees, got " + fixed(m.inc, 4));
    }
    if (!(m.a95 > 0.0 && m.a95 < 180.0)) {
        throw Error("a95 must lie strictly between 0 and 180 degrees, got " + fixed(m.a95, 4));
    }
}

std::vector<Interval> hpd_intervals(const std::vector<double>& epochs, const std::vector<double>& density,
                                    double mass) {
    std::vector<std::size_t> idx;
    return runs_at_level(epochs, density, hpd_level(density, trapezoid_weights(epochs), mass, idx));
}

DatingResult date_measurement(const std::vector<Direction>& curve, const Measurement& m) {
    if (curve.size() < 2) throw Error("dating needs at least two epochs");
    const std::size_t n = curve.size();
    DatingResult r;
    r.epochs.resize(n);
    for (std::size_t k = 0; k < n; ++k) r.epochs[k] = curve[k].epoch;
    const std::vector<double> w = trapezoid_weights(r.epochs);
    if (!(w.front() > 0.0)) throw Error("dating needs at least two distinct epochs");

    // First the log-densities, kept in the value vectors.
    std::vector<double>& log_d = r.dec.value;
    std::vector<double>& log_i = r.inc.value;
    log_d.resize(n);
    log_i.resize(n);
    const double sigma_i = m.a95 / ALPHA95_PER_SIGMA;
    const double sigma_d = sigma_i / std::cos(m.inc * DEGREE);
    const double var_i = sigma_i * sigma_i;
    const double var_d = sigma_d * sigma_d;
    const double per_sigma2 = 1.0 / (SIGMA_95 * SIGMA_95);
    bool fit_d = false, fit_i = false, fit_c = false;
    for (std::size_t k = 0; k < n; ++k) {
        const Direction& c = curve[k];
        const double dd = wrapped(m.dec, c.dec);
        const double di = m.inc - c.inc;
        const double chi_d = dd * dd / (var_d + c.edec * c.edec * per_sigma2);
        const double chi_i = di * di / (var_i + c.einc * c.einc * per_sigma2);
        log_d[k] = -0.5 * chi_d;
        log_i[k] = -0.5 * chi_i;
        fit_d = fit_d || chi_d <= SIGMA_95 * SIGMA_95;
        fit_i = fit_i || chi_i <= SIGMA_95 * SIGMA_95;
        fit_c = fit_c || chi_d + chi_i <= CHI2_2DOF_95;
    }
    // The combined density from the two shifted component densities; when
    // their product underflows everywhere (no epoch near both), from the
    // summed logarithms.
    std::vector<double>& combined = r.combined.value;
    combined.resize(n);
    std::vector<double> log_c(n);
    for (std::size_t k = 0; k < n; ++k) log_c[k] = log_d[k] + log_i[k];
    normalise_logs(log_d, w);
    normalise_logs(log_i, w);
    for (std::size_t k = 0; k < n; ++k) combined[k] = log_d[k] * log_i[k];
    if (!normalise(combined, w)) {
        combined = log_c;
        normalise_logs(combined, w);
    }

    std::vector<std::size_t> idx;
    idx.reserve(n);
    const auto finish = [&](Density& density, bool fits) {
        density.compatible = fits;
        if (fits) density.hpd = runs_at_level(r.epochs, density.value, hpd_level(density.value, w, HPD_MASS, idx));
    };
    finish(r.dec, fit_d);
    finish(r.inc, fit_i);
    finish(r.combined, fit_c);
    return r;
}

std::string intervals_text(const Density& density) {
    if (!density.compatible) return "no compatible epoch";
    std::string text;
    for (const Interval& iv : density.hpd) {
        if (!text.empty()) text += ", ";
        text += epoch_text(iv.from) + "-" + epoch_text(iv.to) + " AD";
    }
    return text;
}

std::string dating_summary(const Site& site, const Measurement& m, const DatingResult& result) {
    std::string s;
    s += "site " + fixed(site.latitude, 4) + " N, " + fixed(site.longitude, 4) + " E; measured dec " +
         fixed(m.dec, 2) + ", inc " + fixed(m.inc, 2) + ", a95 " + fixed(m.a95, 2) + " degrees; epochs " +
         epoch_text(result.epochs.front()) + " to " + epoch_text(result.epochs.back()) + " AD\n";
    s += "95 % highest-density intervals:\n";
    s += "  combined:    " + intervals_text(result.combined) + "\n";
    s += "  declination: " + intervals_text(result.dec) + "\n";
    s += "  inclination: " + intervals_text(result.inc) + "\n";
    return s;
}

std::string density_csv(const Provenance& provenance, const Site& site, const Measurement& m,
                        const std::vector<Direction>& curve, const DatingResult& result) {
    std::string text;
    for (const std::string& line : provenance_header(provenance, "dating densities", &site, "#")) {
        text += line + "\n";
    }
    std::string summary = dating_summary(site, m, result);
    std::size_t start = 0;
    while (start < summary.size()) {
        const std::size_t end = summary.find('\n', start);
        text += "# " + summary.substr(start, end - start) + "\n";
        start = end + 1;
    }
    text += "# densities per year, each normalised to unit area over the epochs\n";
    text += "epoch,dec,inc,edec,einc,p_dec,p_inc,p\n";
    for (std::size_t k = 0; k < curve.size(); ++k) {
        const Direction& c = curve[k];
        char numbers[96];
        std::snprintf(numbers, sizeof numbers, "%.6e,%.6e,%.6e", result.dec.value[k], result.inc.value[k],
                      result.combined.value[k]);
        text += fixed(c.epoch, 2) + "," + fixed(c.dec, 2) + "," + fixed(c.inc, 2) + "," + fixed(c.edec, 2) +
                "," + fixed(c.einc, 2) + "," + numbers + "\n";
    }
    return text;
}

}  // namespace arven
