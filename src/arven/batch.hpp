// Dating many samples from one CSV file: one row per sample (id, lat, lon,
// dec, inc, a95), one summary row per sample out.  A bad row is reported with
// its line number and skipped; the other rows are dated all the same.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "arven/dating.hpp"

namespace arven {

struct BatchSample {
    std::size_t line = 0;   // 1-based line number in the input
    std::string id;
    double lat = 0.0;       // geodetic, degrees north
    double lon = 0.0;       // degrees east
    Measurement measurement;
};

struct BatchProblem {
    std::size_t line = 0;
    std::string message;
};

struct BatchInput {
    std::vector<BatchSample> samples;
    std::vector<BatchProblem> problems;   // rows that could not be read, in line order
};

// Parses the rows of a batch file.  Blank lines and lines beginning with '#'
// are ignored, and so is a first row whose first field is "id" (a header).
// Fields are separated by commas and may be surrounded by blanks; numbers are
// read without regard to the locale.
BatchInput parse_batch(const std::string& text);

// Dates samples against one model and one range of epochs.  The coefficients
// of every epoch are interpolated once, and a site's basis and model curve
// are computed once for a run of consecutive samples at the same site.
class BatchDater {
public:
    BatchDater(const Model& model, const EpochRange& range);

    // Throws arven::Error when the sample's site or measurement is out of range.
    DatingResult date(double lat, double lon, const Measurement& m);

    // The site and model curve of the latest sample dated.
    const Site& site() const { return site_; }
    const std::vector<Direction>& curve() const { return curve_; }

private:
    EpochTable table_;
    bool have_site_ = false;
    Site site_;
    std::vector<Direction> curve_;
};

// The header row and one summary row of the batch output (CSV; the interval
// texts are those of the single-sample summary, quoted).
std::string batch_header();
std::string batch_row(const BatchSample& sample, const DatingResult& result);

struct BatchOutput {
    std::string text;                      // provenance header, column header, one row per dated sample
    std::vector<BatchProblem> problems;    // rows skipped, in line order
};

// Dates every sample of `input`; samples rejected by the model (site or
// measurement out of range) join the problems.
BatchOutput run_batch(const Model& model, const EpochRange& range, const BatchInput& input,
                      const Provenance& provenance);

// Reads the whole file `path`; throws arven::Error if it is missing, not a
// regular file or unreadable.
std::string read_text_file(const std::string& path);

}  // namespace arven
