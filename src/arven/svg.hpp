// Pictures as standalone SVG documents: the field curve at a site, a dating
// with its densities and intervals, and the map of declination and
// inclination over the grid.  Each document carries the provenance header in
// its <metadata> element.
#pragma once

#include <string>
#include <vector>

#include "arven/dating.hpp"
#include "arven/map.hpp"
#include "arven/output.hpp"

namespace arven {

// Declination and inclination against time with their 95 % error bands.
std::string curve_svg(const Provenance& provenance, const Site& site, const std::vector<Direction>& curve);

// The model curves with the measured value and its 95 % band, the three
// densities, and the combined density's highest-density intervals shaded.
std::string dating_svg(const Provenance& provenance, const Site& site, const Measurement& m,
                       const std::vector<Direction>& curve, const DatingResult& result);

// Declination and inclination over the grid, coloured, with labelled
// contours and coastlines.
std::string map_svg(const Provenance& provenance, const FieldMap& map);

}  // namespace arven
