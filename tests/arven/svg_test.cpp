// Pictures: every SVG is well-formed XML with an <svg> root (parsed with
// expat) and renders (rsvg-convert, when installed); contours lie where the
// field takes their level.
#include <gtest/gtest.h>

#include <expat.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "arven/map.hpp"
#include "arven/svg.hpp"
#include "scratch.hpp"

namespace {

struct XmlCheck {
    std::string root;
    int depth = 0;
    int elements = 0;
};

// Empty when `svg` is well-formed with an <svg> root, else the parser's complaint.
std::string xml_problem(const std::string& svg) {
    XML_Parser parser = XML_ParserCreate("UTF-8");
    XmlCheck check;
    XML_SetUserData(parser, &check);
    XML_SetElementHandler(
        parser,
        [](void* data, const XML_Char* name, const XML_Char**) {
            auto* c = static_cast<XmlCheck*>(data);
            if (c->depth++ == 0) c->root = name;
            ++c->elements;
        },
        [](void* data, const XML_Char*) { --static_cast<XmlCheck*>(data)->depth; });
    const bool ok = XML_Parse(parser, svg.data(), static_cast<int>(svg.size()), 1) == XML_STATUS_OK;
    std::string problem;
    if (!ok) {
        problem = std::string(XML_ErrorString(XML_GetErrorCode(parser))) + " at line " +
                  std::to_string(XML_GetCurrentLineNumber(parser));
    } else if (check.root != "svg") {
        problem = "root element is " + check.root;
    }
    XML_ParserFree(parser);
    return problem;
}

// Renders the file to PNG when rsvg-convert is installed; true if it rendered
// (or cannot be tried here).
bool renders(const std::filesystem::path& svg) {
    if (!std::filesystem::exists("/usr/bin/rsvg-convert")) return true;
    const std::filesystem::path png = svg.string() + ".png";
    const std::string command = "/usr/bin/rsvg-convert -o '" + png.string() + "' '" + svg.string() + "' 2>/dev/null";
    return std::system(command.c_str()) == 0 && std::filesystem::file_size(png) > 1000;
}

TEST(Svg, EveryPictureIsWellFormedAndRenders) {
    arven_test::Scratch dir;
    auto common = arven_test::common_options();
    // A command line with characters that need escaping in XML ends up in the metadata.
    common.command_line = "arven --out 'a&b<c>.csv' -- \"quoted\"";

    common.svg = (dir / "curve.svg").string();
    arven::CurveOptions curve;
    curve.lat = 48.85;
    curve.lon = 2.35;
    ASSERT_EQ(arven_test::run_curve(common, curve).status, 0);

    common.svg = (dir / "date.svg").string();
    arven::DateOptions date = arven_test::paris_measurement();
    ASSERT_EQ(arven_test::run_date(common, date).status, 0);

    common.svg = (dir / "nodate.svg").string();
    date.dec = 150.0;
    date.inc = -30.0;
    ASSERT_EQ(arven_test::run_date(common, date).status, 0);

    common.svg = (dir / "map.svg").string();
    arven::MapOptions map;
    map.epoch = 1500;
    map.spacing = 1.0;
    ASSERT_EQ(arven_test::run_map(common, map).status, 0);

    for (const char* name : {"curve.svg", "date.svg", "nodate.svg", "map.svg"}) {
        const std::string svg = arven_test::read_file(dir / name);
        EXPECT_EQ(xml_problem(svg), "") << name;
        EXPECT_NE(svg.find("a&amp;b&lt;c&gt;.csv"), std::string::npos) << name;
        EXPECT_TRUE(renders(dir / name)) << name;
    }
    const std::string map_svg = arven_test::read_file(dir / "map.svg");
    EXPECT_NE(map_svg.find("Declination"), std::string::npos);
    EXPECT_NE(map_svg.find("GSHHG"), std::string::npos);
}

TEST(Map, ContoursFollowTheirLevel) {
    // v = lon + 2 lat on a 1-degree grid: the contour at level L is the line
    // lon + 2 lat = L, and marching squares with linear edges find it exactly.
    std::vector<double> lats, lons, v;
    for (int i = 0; i <= 10; ++i) lats.push_back(40 + i);
    for (int j = 0; j <= 15; ++j) lons.push_back(-5 + j);
    for (double lat : lats) {
        for (double lon : lons) v.push_back(lon + 2 * lat);
    }
    const auto lines = arven::contour_lines(lats, lons, v, 95.5);
    ASSERT_EQ(lines.size(), 1u) << "one joined line, not separate segments";
    EXPECT_GT(lines[0].points.size(), 5u);
    for (const auto& [lon, lat] : lines[0].points) EXPECT_NEAR(lon + 2 * lat, 95.5, 1e-12);
    EXPECT_TRUE(arven::contour_lines(lats, lons, v, 500.0).empty());
}

TEST(Map, GridMatchesTheGridProgramsNodesAndRejectsBadSpacing) {
    const arven::FieldMap map = arven::field_map(arven_test::bundled_model(), 1500, 1.0);
    EXPECT_EQ(map.lats.size(), 26u);
    EXPECT_EQ(map.lons.size(), 46u);
    EXPECT_EQ(map.nodes.size(), 26u * 46u);
    EXPECT_THROW(arven::field_map(arven_test::bundled_model(), 1500, 0.7), arven::Error);
    EXPECT_THROW(arven::field_map(arven_test::bundled_model(), 2000, 1.0), arven::Error);
    EXPECT_FALSE(arven::coastlines().empty());
}

}  // namespace
