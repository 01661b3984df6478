// The field over the model's grid at one epoch, its contour lines and the
// coastlines drawn under it.
#pragma once

#include <string>
#include <vector>

#include "arven/model.hpp"
#include "arven/output.hpp"

namespace arven {

inline constexpr double MAP_WEST = -15.0;    // the grid program's grid, degrees
inline constexpr double MAP_EAST = 30.0;
inline constexpr double MAP_SOUTH = 35.0;
inline constexpr double MAP_NORTH = 60.0;

// Declination, inclination and their errors on a regular grid of nodes,
// longitude west to east, latitude south to north, `spacing` degrees apart.
struct FieldMap {
    double epoch = 0.0;       // years AD
    double spacing = 1.0;     // degrees
    std::vector<double> lats;   // ascending
    std::vector<double> lons;   // ascending
    // node (i, j) = latitude lats[i], longitude lons[j] at index i * lons.size() + j
    std::vector<Direction> nodes;
};

// The field over the grid at `epoch` (years AD in [0, 1900]), node spacing in
// [0.1, 5] degrees dividing the grid's extent.  Throws arven::Error otherwise.
FieldMap field_map(const Model& model, double epoch, double spacing);

// The map as CSV (provenance header; lat, lon, dec, inc, edec, einc).
std::string map_csv(const Provenance& provenance, const FieldMap& map);

// A polyline in (longitude, latitude), degrees.
struct Polyline {
    std::vector<std::pair<double, double>> points;
};

// The contour lines at `level` of the values v (row-major over lats x lons)
// by marching squares, joined into polylines.
std::vector<Polyline> contour_lines(const std::vector<double>& lats, const std::vector<double>& lons,
                                    const std::vector<double>& v, double level);

// Coastlines clipped to the map (crude GSHHG shorelines, see coastline.cpp).
const std::vector<Polyline>& coastlines();

}  // namespace arven
