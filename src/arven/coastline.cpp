// Coastlines for the map, from the GSHHG shorelines embedded at build time.
#include "arven/map.hpp"

namespace arven {
namespace {

constexpr int SEGMENT_END = -32768;   // ends one line of the table below
constexpr double UNIT = 0.01;         // degrees per unit of the table

constexpr int COASTLINE[] = {
#include "arven/coastline_data.inc"
};

}  // namespace

const std::vector<Polyline>& coastlines() {
    static const std::vector<Polyline> lines = [] {
        std::vector<Polyline> out(1);
        const std::size_t n = sizeof COASTLINE / sizeof COASTLINE[0];
        for (std::size_t k = 0; k < n;) {
            if (COASTLINE[k] == SEGMENT_END) {
                if (!out.back().points.empty()) out.emplace_back();
                ++k;
                continue;
            }
            out.back().points.emplace_back(COASTLINE[k] * UNIT, COASTLINE[k + 1] * UNIT);
            k += 2;
        }
        if (out.back().points.empty()) out.pop_back();
        return out;
    }();
    return lines;
}

}  // namespace arven
