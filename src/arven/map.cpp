// The field over the grid and its contour lines (marching squares).
#include "arven/map.hpp"

#include <algorithm>
#include <cmath>
#include <map>

namespace arven {
namespace {

constexpr double MIN_SPACING = 0.1;   // degrees; finer grids add nothing a picture can show
constexpr double MAX_SPACING = 5.0;

// The number of steps of `spacing` over `extent`, or -1 when they do not fit
// a whole number of times.
long steps_over(double extent, double spacing) {
    const double n = extent / spacing;
    const double whole = std::round(n);
    return std::fabs(n - whole) <= 1e-9 * whole ? static_cast<long>(whole) : -1;
}

// Edges of the grid's cells: horizontal edge (i, j)-(i, j+1) and vertical
// edge (i, j)-(i+1, j), each numbered uniquely.
struct EdgeIds {
    long columns;
    long horizontal(long i, long j) const { return 2 * (i * columns + j); }
    long vertical(long i, long j) const { return 2 * (i * columns + j) + 1; }
};

}  // namespace

FieldMap field_map(const Model& model, double epoch, double spacing) {
    if (!(epoch >= FIRST_EPOCH && epoch <= LAST_EPOCH)) {
        throw Error("the epoch must lie in [0, 1900] years AD, got " + fixed(epoch, 2));
    }
    if (!(spacing >= MIN_SPACING && spacing <= MAX_SPACING)) {
        throw Error("the node spacing must lie in [0.1, 5] degrees, got " + fixed(spacing, 4));
    }
    const long rows = steps_over(MAP_NORTH - MAP_SOUTH, spacing);
    const long columns = steps_over(MAP_EAST - MAP_WEST, spacing);
    if (rows < 0 || columns < 0) {
        throw Error("the node spacing must divide the grid's 25 degrees of latitude and 45 of longitude, got " +
                    fixed(spacing, 4));
    }
    FieldMap map;
    map.epoch = epoch;
    map.spacing = spacing;
    for (long i = 0; i <= rows; ++i) map.lats.push_back(MAP_SOUTH + static_cast<double>(i) * spacing);
    for (long j = 0; j <= columns; ++j) map.lons.push_back(MAP_WEST + static_cast<double>(j) * spacing);
    const run::CoefficientRecord COEF = run::interpolate(model.table(), epoch);
    map.nodes.reserve(map.lats.size() * map.lons.size());
    for (double lat : map.lats) {
        for (double lon : map.lons) map.nodes.push_back(direction_at(make_site(lat, lon), COEF, epoch));
    }
    return map;
}

std::string map_csv(const Provenance& provenance, const FieldMap& map) {
    std::string text;
    for (const std::string& line :
         provenance_header(provenance, "field over the grid at epoch " + fixed(map.epoch, 2) + " AD", nullptr, "#")) {
        text += line + "\n";
    }
    text += "lat,lon,dec,inc,edec,einc\n";
    for (std::size_t i = 0; i < map.lats.size(); ++i) {
        for (std::size_t j = 0; j < map.lons.size(); ++j) {
            const Direction& d = map.nodes[i * map.lons.size() + j];
            text += fixed(map.lats[i], 2) + "," + fixed(map.lons[j], 2) + "," + fixed(d.dec, 2) + "," +
                    fixed(d.inc, 2) + "," + fixed(d.edec, 2) + "," + fixed(d.einc, 2) + "\n";
        }
    }
    return text;
}

std::vector<Polyline> contour_lines(const std::vector<double>& lats, const std::vector<double>& lons,
                                    const std::vector<double>& v, double level) {
    const long rows = static_cast<long>(lats.size());
    const long columns = static_cast<long>(lons.size());
    const EdgeIds ids{columns};
    const auto value = [&](long i, long j) { return v[static_cast<std::size_t>(i * columns + j)]; };
    const auto above = [&](long i, long j) { return value(i, j) >= level; };

    // Where the level crosses each crossed edge, by linear interpolation.
    std::map<long, std::pair<double, double>> crossing;
    const auto cross = [&](long id, long i0, long j0, long i1, long j1) {
        const double a = value(i0, j0);
        const double b = value(i1, j1);
        const double t = (level - a) / (b - a);
        crossing[id] = {lons[j0] + t * (lons[j1] - lons[j0]), lats[i0] + t * (lats[i1] - lats[i0])};
    };
    // The segments of every cell, as pairs of edge ids, and the segments at each edge.
    std::vector<std::pair<long, long>> segments;
    std::map<long, std::vector<std::size_t>> at_edge;
    const auto add = [&](long e0, long e1) {
        at_edge[e0].push_back(segments.size());
        at_edge[e1].push_back(segments.size());
        segments.emplace_back(e0, e1);
    };
    for (long i = 0; i + 1 < rows; ++i) {
        for (long j = 0; j + 1 < columns; ++j) {
            // Corners counter-clockwise from south-west; edges south, east, north, west.
            const bool sw = above(i, j), se = above(i, j + 1), ne = above(i + 1, j + 1), nw = above(i + 1, j);
            const long south = ids.horizontal(i, j), north = ids.horizontal(i + 1, j);
            const long west = ids.vertical(i, j), east = ids.vertical(i, j + 1);
            if (sw != se) cross(south, i, j, i, j + 1);
            if (nw != ne) cross(north, i + 1, j, i + 1, j + 1);
            if (sw != nw) cross(west, i, j, i + 1, j);
            if (se != ne) cross(east, i, j + 1, i + 1, j + 1);
            const int code = (sw ? 1 : 0) | (se ? 2 : 0) | (ne ? 4 : 0) | (nw ? 8 : 0);
            switch (code) {
                case 0: case 15: break;
                case 1: case 14: add(west, south); break;
                case 2: case 13: add(south, east); break;
                case 3: case 12: add(west, east); break;
                case 4: case 11: add(east, north); break;
                case 6: case 9: add(south, north); break;
                case 7: case 8: add(west, north); break;
                case 5: case 10: {
                    // Saddle: the cell's mean decides which corners are joined.
                    const double mean = 0.25 * (value(i, j) + value(i, j + 1) + value(i + 1, j + 1) + value(i + 1, j));
                    if ((mean >= level) == (code == 5)) {
                        add(west, north);
                        add(south, east);
                    } else {
                        add(west, south);
                        add(east, north);
                    }
                    break;
                }
            }
        }
    }
    // Join the segments into polylines through their shared edges.
    std::vector<bool> used(segments.size(), false);
    std::vector<Polyline> lines;
    const auto next_segment = [&](long edge) -> long {
        for (std::size_t s : at_edge[edge]) {
            if (!used[s]) return static_cast<long>(s);
        }
        return -1;
    };
    for (std::size_t s = 0; s < segments.size(); ++s) {
        if (used[s]) continue;
        used[s] = true;
        std::vector<long> chain = {segments[s].first, segments[s].second};
        for (int direction = 0; direction < 2; ++direction) {
            while (true) {
                const long edge = chain.back();
                const long t = next_segment(edge);
                if (t < 0) break;
                used[static_cast<std::size_t>(t)] = true;
                const auto& seg = segments[static_cast<std::size_t>(t)];
                chain.push_back(seg.first == edge ? seg.second : seg.first);
            }
            std::reverse(chain.begin(), chain.end());
        }
        Polyline line;
        for (long edge : chain) line.points.push_back(crossing[edge]);
        lines.push_back(std::move(line));
    }
    return lines;
}

}  // namespace arven
