// Dating densities, their normalisation and highest-density intervals.
#include "arven/dating.hpp"

#include <algorithm>
#include <cmath>
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

// exp of the log-densities shifted by their maximum (so that nothing
// underflows everywhere), normalised to unit area.
std::vector<double> normalised(const std::vector<double>& log_p, const std::vector<double>& w) {
    const double top = *std::max_element(log_p.begin(), log_p.end());
    std::vector<double> p(log_p.size());
    double area = 0.0;
    for (std::size_t i = 0; i < p.size(); ++i) {
        p[i] = std::exp(log_p[i] - top);
        area += w[i] * p[i];
    }
    for (double& v : p) v /= area;
    return p;
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
    const std::vector<double> w = trapezoid_weights(epochs);
    // Weighted selection: find the density level h such that the epochs with
    // density >= h hold `mass`, by partitioning around pivots (expected
    // linear time; a full sort per sample would dominate a batch).
    std::vector<std::size_t> idx(epochs.size());
    std::iota(idx.begin(), idx.end(), std::size_t{0});
    std::size_t lo = 0;
    std::size_t hi = idx.size();
    double total = 0.0;
    for (std::size_t i = 0; i < density.size(); ++i) total += w[i] * density[i];
    double need = mass * total;
    double level = 0.0;
    while (lo < hi) {
        const double pivot = density[idx[lo + (hi - lo) / 2]];
        auto above_end = std::partition(idx.begin() + lo, idx.begin() + hi,
                                        [&](std::size_t i) { return density[i] > pivot; });
        auto equal_end = std::partition(above_end, idx.begin() + hi,
                                        [&](std::size_t i) { return density[i] == pivot; });
        double above = 0.0;
        for (auto it = idx.begin() + lo; it != above_end; ++it) above += w[*it] * density[*it];
        if (above >= need) {
            hi = static_cast<std::size_t>(above_end - idx.begin());
            continue;
        }
        double equal = 0.0;
        for (auto it = above_end; it != equal_end; ++it) equal += w[*it] * density[*it];
        level = pivot;
        if (above + equal >= need) break;
        need -= above + equal;
        lo = static_cast<std::size_t>(equal_end - idx.begin());
        if (lo == hi) break;   // rounding left the mass just short: keep the level reached
    }
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

DatingResult date_measurement(const std::vector<Direction>& curve, const Measurement& m) {
    if (curve.size() < 2) throw Error("dating needs at least two epochs");
    const std::size_t n = curve.size();
    DatingResult r;
    r.epochs.resize(n);
    std::vector<double> log_d(n), log_i(n), log_c(n);
    const double sigma_i = m.a95 / ALPHA95_PER_SIGMA;
    const double sigma_d = sigma_i / std::cos(m.inc * DEGREE);
    const double var_i = sigma_i * sigma_i;
    const double var_d = sigma_d * sigma_d;
    bool fit_d = false, fit_i = false, fit_c = false;
    for (std::size_t k = 0; k < n; ++k) {
        const Direction& c = curve[k];
        r.epochs[k] = c.epoch;
        const double model_sd = c.edec / SIGMA_95;
        const double model_si = c.einc / SIGMA_95;
        const double dd = wrapped(m.dec, c.dec);
        const double di = m.inc - c.inc;
        const double chi_d = dd * dd / (var_d + model_sd * model_sd);
        const double chi_i = di * di / (var_i + model_si * model_si);
        log_d[k] = -0.5 * chi_d;
        log_i[k] = -0.5 * chi_i;
        log_c[k] = log_d[k] + log_i[k];
        fit_d = fit_d || chi_d <= SIGMA_95 * SIGMA_95;
        fit_i = fit_i || chi_i <= SIGMA_95 * SIGMA_95;
        fit_c = fit_c || chi_d + chi_i <= CHI2_2DOF_95;
    }
    const std::vector<double> w = trapezoid_weights(r.epochs);
    if (!(w.front() > 0.0)) throw Error("dating needs at least two distinct epochs");
    const auto fill = [&](Density& density, const std::vector<double>& log_p, bool fits) {
        density.value = normalised(log_p, w);
        density.compatible = fits;
        if (fits) density.hpd = hpd_intervals(r.epochs, density.value, HPD_MASS);
    };
    fill(r.dec, log_d, fit_d);
    fill(r.inc, log_i, fit_i);
    fill(r.combined, log_c, fit_c);
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
