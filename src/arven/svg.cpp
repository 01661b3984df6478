// SVG pictures: plot panels with axes, bands and curves; the map with its
// colour cells, contours and coastlines.
#include "arven/svg.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace arven {
namespace {

constexpr double SIGMA_95 = 1.96;
constexpr double ALPHA95_PER_SIGMA = 2.448;
constexpr double DEGREE = 0.017453292519943295;
const char* const FONT = "font-family=\"DejaVu Sans, Arial, Helvetica, sans-serif\"";

std::string num(double x) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.2f", x);
    return buffer;
}

std::string escaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            default: out += c;
        }
    }
    return out;
}

std::string text(double x, double y, const std::string& content, const std::string& attributes = "") {
    return "<text x=\"" + num(x) + "\" y=\"" + num(y) + "\" " + attributes + ">" + escaped(content) + "</text>\n";
}

// The document's opening: size, white background, provenance as metadata.
std::string begin_document(double width, double height, const Provenance& provenance, const std::string& what) {
    std::string s = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    s += "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + num(width) + "\" height=\"" + num(height) +
         "\" viewBox=\"0 0 " + num(width) + " " + num(height) + "\" " + FONT + " font-size=\"13\">\n";
    s += "<metadata>\n";
    for (const std::string& line : provenance_header(provenance, what, nullptr, "")) s += escaped(line) + "\n";
    s += "</metadata>\n";
    s += "<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n";
    return s;
}

// A step of 1, 2 or 5 times a power of ten giving about `count` ticks over span.
double nice_step(double span, double count) {
    const double raw = span / count;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (double m : {1.0, 2.0, 5.0}) {
        if (m * power >= raw) return m * power;
    }
    return 10.0 * power;
}

// One rectangular plot area with linear axes.
struct Panel {
    double left, top, width, height;     // pixels
    double xmin, xmax, ymin, ymax;       // data

    double px(double x) const { return left + (x - xmin) / (xmax - xmin) * width; }
    double py(double y) const { return top + (ymax - y) / (ymax - ymin) * height; }

    // Frame, grid, ticks and labels.
    std::string axes(const std::string& xlabel, const std::string& ylabel, const std::string& title) const {
        std::string s;
        s += "<rect x=\"" + num(left) + "\" y=\"" + num(top) + "\" width=\"" + num(width) + "\" height=\"" +
             num(height) + "\" fill=\"none\" stroke=\"#333\"/>\n";
        const double xs = nice_step(xmax - xmin, 8);
        for (double x = std::ceil(xmin / xs) * xs; x <= xmax + 1e-9 * xs; x += xs) {
            s += "<line x1=\"" + num(px(x)) + "\" y1=\"" + num(top) + "\" x2=\"" + num(px(x)) + "\" y2=\"" +
                 num(top + height) + "\" stroke=\"#ddd\"/>\n";
            s += text(px(x), top + height + 16, fixed(x, xs < 1 ? 1 : 0), "text-anchor=\"middle\"");
        }
        const double ys = nice_step(ymax - ymin, 5);
        for (double y = std::ceil(ymin / ys) * ys; y <= ymax + 1e-9 * ys; y += ys) {
            s += "<line x1=\"" + num(left) + "\" y1=\"" + num(py(y)) + "\" x2=\"" + num(left + width) + "\" y2=\"" +
                 num(py(y)) + "\" stroke=\"#ddd\"/>\n";
            s += text(left - 6, py(y) + 4, ys < 1e-3 ? fixed(y, 5) : fixed(y, ys < 1 ? (ys < 0.1 ? 3 : 1) : 0),
                      "text-anchor=\"end\"");
        }
        if (!xlabel.empty()) s += text(left + width / 2, top + height + 34, xlabel, "text-anchor=\"middle\"");
        s += text(left - 52, top + height / 2, ylabel,
                  "text-anchor=\"middle\" transform=\"rotate(-90 " + num(left - 52) + " " + num(top + height / 2) +
                      ")\"");
        s += text(left, top - 8, title, "font-weight=\"bold\"");
        return s;
    }

    std::string polyline(const std::vector<double>& x, const std::vector<double>& y, const std::string& style) const {
        std::string s = "<polyline fill=\"none\" " + style + " points=\"";
        for (std::size_t i = 0; i < x.size(); ++i) s += num(px(x[i])) + "," + num(py(y[i])) + " ";
        return s + "\"/>\n";
    }

    // The region between lower and upper along x.
    std::string band(const std::vector<double>& x, const std::vector<double>& lower, const std::vector<double>& upper,
                     const std::string& style) const {
        std::string s = "<polygon " + style + " points=\"";
        for (std::size_t i = 0; i < x.size(); ++i) s += num(px(x[i])) + "," + num(py(upper[i])) + " ";
        for (std::size_t i = x.size(); i-- > 0;) s += num(px(x[i])) + "," + num(py(lower[i])) + " ";
        return s + "\"/>\n";
    }

    std::string rect_x(double x0, double x1, const std::string& style) const {
        return "<rect x=\"" + num(px(x0)) + "\" y=\"" + num(top) + "\" width=\"" + num(std::max(px(x1) - px(x0), 1.0)) +
               "\" height=\"" + num(height) + "\" " + style + "/>\n";
    }

    std::string rect_y(double y0, double y1, const std::string& style) const {
        return "<rect x=\"" + num(left) + "\" y=\"" + num(py(y1)) + "\" width=\"" + num(width) + "\" height=\"" +
               num(py(y0) - py(y1)) + "\" " + style + "/>\n";
    }
};

// Data limits with a margin, never empty.
std::pair<double, double> limits(const std::vector<double>& lo, const std::vector<double>& hi) {
    double a = *std::min_element(lo.begin(), lo.end());
    double b = *std::max_element(hi.begin(), hi.end());
    if (!(b > a)) {
        a -= 1.0;
        b += 1.0;
    }
    const double margin = 0.05 * (b - a);
    return {a - margin, b + margin};
}

struct Series {
    std::vector<double> t, value, lower, upper;
};

// The curve's declination or inclination with its band.  Declinations are
// unwrapped (whole turns added) so that a curve crossing 180 degrees stays
// one line.
Series series(const std::vector<Direction>& curve, bool dec) {
    Series s;
    for (const Direction& d : curve) {
        double v = dec ? d.dec : d.inc;
        if (dec && !s.value.empty()) v = s.value.back() + std::remainder(v - s.value.back(), 360.0);
        const double e = dec ? d.edec : d.einc;
        s.t.push_back(d.epoch);
        s.value.push_back(v);
        s.lower.push_back(v - e);
        s.upper.push_back(v + e);
    }
    return s;
}

const char* const BAND_STYLE = "fill=\"#9ecae1\" fill-opacity=\"0.6\" stroke=\"none\"";
const char* const CURVE_STYLE = "stroke=\"#08519c\" stroke-width=\"1.8\"";
const char* const MEASURED_BAND = "fill=\"#fdae6b\" fill-opacity=\"0.45\" stroke=\"none\"";
const char* const MEASURED_LINE = "stroke=\"#d94801\" stroke-width=\"1.5\" stroke-dasharray=\"6 3\"";

std::string site_text(const Site& site) {
    return fixed(site.latitude, 2) + " N, " + fixed(site.longitude, 2) + " E";
}

// A colour for t in [0, 1] along a blue - white - red scale.
std::string diverging(double t) {
    t = std::clamp(t, 0.0, 1.0);
    const auto mix = [](double a, double b, double u) { return a + (b - a) * u; };
    double r, g, b;
    if (t < 0.5) {
        const double u = t / 0.5;
        r = mix(33, 247, u); g = mix(102, 247, u); b = mix(172, 247, u);
    } else {
        const double u = (t - 0.5) / 0.5;
        r = mix(247, 178, u); g = mix(247, 24, u); b = mix(247, 43, u);
    }
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "#%02x%02x%02x", static_cast<int>(r), static_cast<int>(g), static_cast<int>(b));
    return buffer;
}

}  // namespace

std::string curve_svg(const Provenance& provenance, const Site& site, const std::vector<Direction>& curve) {
    const double width = 900, height = 660;
    std::string s = begin_document(width, height, provenance, "field curve at a site");
    s += text(width / 2, 26, "ARVEN.MA.3 field at " + site_text(site), "text-anchor=\"middle\" font-size=\"17\" font-weight=\"bold\"");
    const double t0 = curve.front().epoch;
    const double t1 = curve.size() > 1 ? curve.back().epoch : t0 + 1.0;
    for (int k = 0; k < 2; ++k) {
        const bool dec = k == 0;
        const Series sr = series(curve, dec);
        const auto [y0, y1] = limits(sr.lower, sr.upper);
        const Panel p{90, 70.0 + k * 290.0, 780, 220, t0, t1, y0, y1};
        s += p.axes(k == 1 ? "Epoch (years AD)" : "", dec ? "Declination (degrees)" : "Inclination (degrees)",
                    dec ? "Declination (true, east of north)" : "Inclination (positive down)");
        s += p.band(sr.t, sr.lower, sr.upper, BAND_STYLE);
        s += p.polyline(sr.t, sr.value, CURVE_STYLE);
    }
    s += "<rect x=\"90\" y=\"" + num(height - 28) + "\" width=\"18\" height=\"10\" " + BAND_STYLE + "/>\n";
    s += text(114, height - 19, "model's 95 % error band");
    s += "<line x1=\"300\" y1=\"" + num(height - 23) + "\" x2=\"320\" y2=\"" + num(height - 23) + "\" " + CURVE_STYLE + "/>\n";
    s += text(326, height - 19, "model curve");
    return s + "</svg>\n";
}

std::string dating_svg(const Provenance& provenance, const Site& site, const Measurement& m,
                       const std::vector<Direction>& curve, const DatingResult& result) {
    const double width = 900, height = 860;
    std::string s = begin_document(width, height, provenance, "dating");
    s += text(width / 2, 26,
              "Dating at " + site_text(site) + ": D = " + fixed(m.dec, 1) + ", I = " + fixed(m.inc, 1) +
                  ", a95 = " + fixed(m.a95, 1) + " degrees",
              "text-anchor=\"middle\" font-size=\"17\" font-weight=\"bold\"");
    const double t0 = curve.front().epoch;
    const double t1 = curve.back().epoch;
    const double sigma_i = m.a95 / ALPHA95_PER_SIGMA;
    const double half_band[2] = {SIGMA_95 * sigma_i / std::cos(m.inc * DEGREE), SIGMA_95 * sigma_i};
    // The measured declination on the turn nearest the (unwrapped) curve.
    const Series dec_series = series(curve, true);
    const double middle = 0.5 * (*std::min_element(dec_series.value.begin(), dec_series.value.end()) +
                                 *std::max_element(dec_series.value.begin(), dec_series.value.end()));
    const double measured[2] = {middle + std::remainder(m.dec - middle, 360.0), m.inc};
    const auto shade_hpd = [&](const Panel& p) {
        std::string out;
        for (const Interval& iv : result.combined.hpd) {
            out += p.rect_x(iv.from, iv.to, "fill=\"#74c476\" fill-opacity=\"0.25\" stroke=\"none\"");
        }
        return out;
    };
    for (int k = 0; k < 2; ++k) {
        const bool dec = k == 0;
        Series sr = series(curve, dec);
        std::vector<double> lo = sr.lower, hi = sr.upper;
        lo.push_back(measured[k] - half_band[k]);
        hi.push_back(measured[k] + half_band[k]);
        auto [y0, y1] = limits(lo, hi);
        const Panel p{90, 70.0 + k * 230.0, 780, 180, t0, t1, y0, y1};
        s += shade_hpd(p);
        s += p.rect_y(std::max(measured[k] - half_band[k], y0), std::min(measured[k] + half_band[k], y1), MEASURED_BAND);
        s += p.band(sr.t, sr.lower, sr.upper, BAND_STYLE);
        s += p.polyline(sr.t, sr.value, CURVE_STYLE);
        s += p.polyline({t0, t1}, {measured[k], measured[k]}, MEASURED_LINE);
        s += p.axes("", dec ? "Declination (degrees)" : "Inclination (degrees)",
                    dec ? "Model declination and the measured value" : "Model inclination and the measured value");
    }
    // A density with no compatible epoch is not drawn: normalised, it would
    // show a spike at the least bad epoch as if it were a date.
    std::vector<double> top(result.epochs.size(), 0.0);
    for (const Density* d : {&result.combined, &result.dec, &result.inc}) {
        if (!d->compatible) continue;
        for (std::size_t i = 0; i < top.size(); ++i) top[i] = std::max(top[i], d->value[i]);
    }
    const double peak = *std::max_element(top.begin(), top.end());
    const double ymax = peak > 0.0 ? 1.08 * peak : 1.0;
    const Panel p{90, 530, 780, 220, t0, t1, 0.0, ymax};
    s += shade_hpd(p);
    if (result.combined.compatible) {
        std::vector<double> zeros(result.epochs.size(), 0.0);
        s += p.band(result.epochs, zeros, result.combined.value, "fill=\"#31a354\" fill-opacity=\"0.35\" stroke=\"none\"");
    }
    if (result.dec.compatible) s += p.polyline(result.epochs, result.dec.value, "stroke=\"#756bb1\" stroke-width=\"1.3\"");
    if (result.inc.compatible) s += p.polyline(result.epochs, result.inc.value, "stroke=\"#e6550d\" stroke-width=\"1.3\"");
    if (result.combined.compatible) {
        s += p.polyline(result.epochs, result.combined.value, "stroke=\"#006d2c\" stroke-width=\"2\"");
    }
    std::string missing;
    for (const auto& [density, name] : {std::pair{&result.combined, "combined"}, std::pair{&result.dec, "declination"},
                                        std::pair{&result.inc, "inclination"}}) {
        if (!density->compatible) missing += std::string(missing.empty() ? " " : ", ") + name;
    }
    if (!missing.empty()) {
        s += text(p.left + p.width - 8, p.top + 20, "No compatible epoch, density not drawn:" + missing,
                  "text-anchor=\"end\" fill=\"#a50f15\" stroke=\"white\" stroke-width=\"4\" paint-order=\"stroke\"");
    }
    s += p.axes("Epoch (years AD)", "Probability density (per year)",
                "Densities; combined 95 % highest-density intervals: " + intervals_text(result.combined));
    const double ly = height - 30;
    s += "<line x1=\"90\" y1=\"" + num(ly) + "\" x2=\"110\" y2=\"" + num(ly) + "\" stroke=\"#006d2c\" stroke-width=\"2\"/>\n";
    s += text(116, ly + 4, "combined");
    s += "<line x1=\"200\" y1=\"" + num(ly) + "\" x2=\"220\" y2=\"" + num(ly) + "\" stroke=\"#756bb1\" stroke-width=\"1.3\"/>\n";
    s += text(226, ly + 4, "declination");
    s += "<line x1=\"320\" y1=\"" + num(ly) + "\" x2=\"340\" y2=\"" + num(ly) + "\" stroke=\"#e6550d\" stroke-width=\"1.3\"/>\n";
    s += text(346, ly + 4, "inclination");
    s += "<rect x=\"440\" y=\"" + num(ly - 6) + "\" width=\"18\" height=\"10\" fill=\"#74c476\" fill-opacity=\"0.4\"/>\n";
    s += text(464, ly + 4, "95 % HPD (combined)");
    s += "<rect x=\"630\" y=\"" + num(ly - 6) + "\" width=\"18\" height=\"10\" " + std::string(MEASURED_BAND) + "/>\n";
    s += text(654, ly + 4, "measured value, 95 %");
    return s + "</svg>\n";
}

std::string map_svg(const Provenance& provenance, const FieldMap& map) {
    const double panel_w = 520;
    const double aspect = std::cos(0.5 * (MAP_SOUTH + MAP_NORTH) * DEGREE);
    const double panel_h = panel_w * (MAP_NORTH - MAP_SOUTH) / ((MAP_EAST - MAP_WEST) * aspect);
    const double width = 2 * panel_w + 200, height = panel_h + 170;
    std::string s = begin_document(width, height, provenance, "map at epoch " + fixed(map.epoch, 2) + " AD");
    s += text(width / 2, 26, "ARVEN.MA.3 field at " + fixed(map.epoch, 1) + " AD",
              "text-anchor=\"middle\" font-size=\"17\" font-weight=\"bold\"");
    const std::size_t nlon = map.lons.size();
    for (int k = 0; k < 2; ++k) {
        const bool dec = k == 0;
        std::vector<double> v;
        for (const Direction& d : map.nodes) v.push_back(dec ? d.dec : d.inc);
        const double vmin = *std::min_element(v.begin(), v.end());
        const double vmax = *std::max_element(v.begin(), v.end());
        // Declination: white at zero, symmetric; inclination: white at the mid value.
        const double span = dec ? std::max({std::fabs(vmin), std::fabs(vmax), 1.0}) : std::max(0.5 * (vmax - vmin), 1.0);
        const double centre = dec ? 0.0 : 0.5 * (vmin + vmax);
        const Panel p{80.0 + k * (panel_w + 100), 60, panel_w, panel_h, MAP_WEST, MAP_EAST, MAP_SOUTH, MAP_NORTH};
        const std::string clip = dec ? "clipdec" : "clipinc";
        s += "<clipPath id=\"" + clip + "\"><rect x=\"" + num(p.left) + "\" y=\"" + num(p.top) + "\" width=\"" +
             num(p.width) + "\" height=\"" + num(p.height) + "\"/></clipPath>\n";
        s += "<g clip-path=\"url(#" + clip + ")\">\n";
        const double half = 0.5 * map.spacing;
        for (std::size_t i = 0; i < map.lats.size(); ++i) {
            for (std::size_t j = 0; j < nlon; ++j) {
                const double x0 = p.px(map.lons[j] - half), x1 = p.px(map.lons[j] + half);
                const double y0 = p.py(map.lats[i] + half), y1 = p.py(map.lats[i] - half);
                s += "<rect x=\"" + num(x0) + "\" y=\"" + num(y0) + "\" width=\"" + num(x1 - x0 + 0.3) + "\" height=\"" +
                     num(y1 - y0 + 0.3) + "\" fill=\"" + diverging(0.5 + 0.5 * (v[i * nlon + j] - centre) / span) +
                     "\"/>\n";
            }
        }
        for (const Polyline& line : coastlines()) {
            std::string pts;
            for (const auto& [lon, lat] : line.points) pts += num(p.px(lon)) + "," + num(p.py(lat)) + " ";
            s += "<polyline fill=\"none\" stroke=\"#222\" stroke-width=\"0.9\" points=\"" + pts + "\"/>\n";
        }
        const double step = nice_step(vmax - vmin, 8);
        for (double level = std::ceil(vmin / step) * step; level <= vmax; level += step) {
            for (const Polyline& line : contour_lines(map.lats, map.lons, v, level)) {
                std::string pts;
                for (const auto& [lon, lat] : line.points) pts += num(p.px(lon)) + "," + num(p.py(lat)) + " ";
                s += "<polyline fill=\"none\" stroke=\"#000\" stroke-width=\"1.2\" points=\"" + pts + "\"/>\n";
                if (line.points.size() >= 8) {
                    const auto& [lon, lat] = line.points[line.points.size() / 2];
                    s += text(p.px(lon), p.py(lat) + 4, fixed(level, step < 1 ? 1 : 0),
                              "text-anchor=\"middle\" font-size=\"11\" font-weight=\"bold\" stroke=\"white\" "
                              "stroke-width=\"3\" paint-order=\"stroke\"");
                }
            }
        }
        s += "</g>\n";
        s += p.axes("Longitude (degrees east)", "Latitude (degrees north)",
                    dec ? "Declination (degrees, true, east of north)" : "Inclination (degrees, positive down)");
        // Colour bar under the panel.
        const double bar_y = p.top + p.height + 48;
        for (int c = 0; c < 100; ++c) {
            s += "<rect x=\"" + num(p.left + c * p.width / 100) + "\" y=\"" + num(bar_y) + "\" width=\"" +
                 num(p.width / 100 + 0.5) + "\" height=\"10\" fill=\"" + diverging(c / 99.0) + "\"/>\n";
        }
        s += text(p.left, bar_y + 24, fixed(centre - span, 1), "text-anchor=\"start\"");
        s += text(p.left + p.width / 2, bar_y + 24, fixed(centre, 1), "text-anchor=\"middle\"");
        s += text(p.left + p.width, bar_y + 24, fixed(centre + span, 1), "text-anchor=\"end\"");
    }
    s += text(80, height - 10, "Contours labelled in degrees. Coastlines: GSHHG (Wessel and Smith), "
                               "LGPL-3.0-or-later.",
              "font-size=\"11\" fill=\"#555\"");
    return s + "</svg>\n";
}

}  // namespace arven
