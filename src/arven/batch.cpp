// Batch dating: reading sample rows, dating them with shared epoch tables,
// and the summary rows.
#include "arven/batch.hpp"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

namespace arven {
namespace {

constexpr std::size_t FIELDS = 6;

std::string trimmed(std::string_view s) {
    const auto first = s.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    const auto last = s.find_last_not_of(" \t");
    return std::string(s.substr(first, last - first + 1));
}

// The whole of `text` as a number; false if any part of it is not.
bool parse_number(const std::string& text, double& value) {
    if (text.empty()) return false;
    const char* first = text.data();
    const char* last = text.data() + text.size();
    if (*first == '+') ++first;
    const auto [end, ec] = std::from_chars(first, last, value);
    return ec == std::errc() && end == last && std::isfinite(value);
}

std::string lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

std::string quoted(const std::string& s) {
    std::string out = "\"";
    for (char c : s) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + "\"";
}

}  // namespace

BatchInput parse_batch(const std::string& text) {
    static const char* const NAMES[FIELDS] = {"id", "lat", "lon", "dec", "inc", "a95"};
    BatchInput input;
    std::size_t line_number = 0;
    bool first_row = true;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string_view line(text.data() + start, end - start);
        start = end + 1;
        ++line_number;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        const std::string content = trimmed(line);
        if (content.empty() || content[0] == '#') continue;

        std::vector<std::string> fields;
        std::size_t from = 0;
        while (true) {
            const std::size_t comma = content.find(',', from);
            fields.push_back(trimmed(std::string_view(content).substr(from, comma - from)));
            if (comma == std::string::npos) break;
            from = comma + 1;
        }
        const bool header = first_row && lower(fields[0]) == "id";
        first_row = false;
        if (header) continue;
        if (fields.size() != FIELDS) {
            input.problems.push_back({line_number, "expected 6 fields (id,lat,lon,dec,inc,a95), found " +
                                                       std::to_string(fields.size())});
            continue;
        }
        BatchSample sample;
        sample.line = line_number;
        sample.id = fields[0];
        double* targets[FIELDS] = {nullptr, &sample.lat, &sample.lon, &sample.measurement.dec,
                                   &sample.measurement.inc, &sample.measurement.a95};
        std::string problem;
        if (sample.id.empty()) problem = "the id is empty";
        for (std::size_t f = 1; f < FIELDS && problem.empty(); ++f) {
            if (!parse_number(fields[f], *targets[f])) {
                problem = std::string(NAMES[f]) + " '" + fields[f] + "' is not a number";
            }
        }
        if (!problem.empty()) {
            input.problems.push_back({line_number, problem});
            continue;
        }
        input.samples.push_back(sample);
    }
    return input;
}

BatchDater::BatchDater(const Model& model, const EpochRange& range)
    : table_(epoch_table(model, epochs_of(range))) {}

DatingResult BatchDater::date(double lat, double lon, const Measurement& m) {
    check_measurement(m);
    if (!have_site_ || site_.latitude != lat || site_.longitude != lon) {
        have_site_ = false;
        site_ = make_site(lat, lon);
        curve_ = curve_at(site_, table_);
        have_site_ = true;
    }
    return date_measurement(curve_, m);
}

std::string batch_header() { return "id,lat,lon,dec,inc,a95,combined,declination,inclination"; }

std::string batch_row(const BatchSample& sample, const DatingResult& result) {
    return quoted(sample.id) + "," + fixed(sample.lat, 4) + "," + fixed(sample.lon, 4) + "," +
           fixed(sample.measurement.dec, 2) + "," + fixed(sample.measurement.inc, 2) + "," +
           fixed(sample.measurement.a95, 2) + "," + quoted(intervals_text(result.combined)) + "," +
           quoted(intervals_text(result.dec)) + "," + quoted(intervals_text(result.inc));
}

BatchOutput run_batch(const Model& model, const EpochRange& range, const BatchInput& input,
                      const Provenance& provenance) {
    BatchOutput out;
    for (const std::string& line : provenance_header(provenance, "batch dating, 95 % highest-density intervals",
                                                     nullptr, "#")) {
        out.text += line + "\n";
    }
    out.text += batch_header() + "\n";
    BatchDater dater(model, range);
    auto problem = input.problems.begin();
    for (const BatchSample& sample : input.samples) {
        while (problem != input.problems.end() && problem->line < sample.line) out.problems.push_back(*problem++);
        try {
            const DatingResult result = dater.date(sample.lat, sample.lon, sample.measurement);
            out.text += batch_row(sample, result) + "\n";
        } catch (const Error& e) {
            out.problems.push_back({sample.line, e.what()});
        }
    }
    while (problem != input.problems.end()) out.problems.push_back(*problem++);
    return out;
}

std::string read_text_file(const std::string& path) {
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    if (ec || !std::filesystem::exists(status)) throw Error("file '" + path + "' does not exist");
    if (!std::filesystem::is_regular_file(status)) throw Error("'" + path + "' is not a regular file");
    std::ifstream in(path, std::ios::binary);
    if (!in) throw Error("cannot open '" + path + "'");
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) throw Error("cannot read '" + path + "'");
    return text;
}

}  // namespace arven
