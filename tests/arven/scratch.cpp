#include "scratch.hpp"

#include <fstream>
#include <iterator>
#include <random>
#include <sstream>

namespace arven_test {

Scratch::Scratch() {
    std::random_device seed;
    path_ = std::filesystem::temp_directory_path() / ("arven-test-" + std::to_string(seed()));
    std::filesystem::create_directories(path_);
}

Scratch::~Scratch() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

std::string read_file(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void write_file(const std::filesystem::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

const arven::Model& bundled_model() {
    static const arven::Model model = arven::Model::load(ARVEN_BUNDLED_COEF);
    return model;
}

arven::CommonOptions common_options() {
    arven::CommonOptions common;
    common.coef = ARVEN_BUNDLED_COEF;
    common.bundled_coef = ARVEN_BUNDLED_COEF;
    common.command_line = "arven test";
    return common;
}

namespace {
template <class Options, class Command>
Outcome captured(const arven::CommonOptions& common, const Options& options, Command command) {
    std::ostringstream out, err;
    Outcome outcome;
    outcome.status = command(common, options, out, err);
    outcome.out = out.str();
    outcome.err = err.str();
    return outcome;
}
}  // namespace

Outcome run_curve(const arven::CommonOptions& c, const arven::CurveOptions& o) { return captured(c, o, arven::curve_command); }
Outcome run_date(const arven::CommonOptions& c, const arven::DateOptions& o) { return captured(c, o, arven::date_command); }
Outcome run_map(const arven::CommonOptions& c, const arven::MapOptions& o) { return captured(c, o, arven::map_command); }

}  // namespace arven_test
