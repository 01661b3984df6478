// Output of the field-work tool: numbers as text, the provenance header that
// begins every output file, the curve in its three formats, and writing a
// finished text to a file.
#pragma once

#include <string>
#include <vector>

#include "arven/model.hpp"

namespace arven {

// The tool's version, for --version and the provenance header.
std::string version();

// What a result was computed from, so that it can be reproduced.
struct Provenance {
    std::string command;              // the command line, words joined by blanks
    std::string coefficient_file;     // as read
    std::string coefficient_sha256;   // 64 hexadecimal digits
};

Provenance provenance_of(const Model& model, const std::string& command);

// The provenance header of an output file, one string per line and without
// line ends, each line beginning with `comment` and a blank: the program and
// version, `what` the file holds, the command, the coefficient file and its
// checksum, the site (when given) and the conventions.
std::vector<std::string> provenance_header(const Provenance& provenance, const std::string& what,
                                           const Site* site, const std::string& comment);

// x with `decimals` decimals ("%.*f"), never a minus sign on a zero.
std::string fixed(double x, int decimals);

// The curve formats: "csv" (epoch, dec, inc, edec, einc, north, east, down),
// "chronomodel" (one reference-curve file per component: epoch,value,error
// with the error as one sigma, that is the 95 % error over 1.96) and "magic"
// (tab-delimited, MagIC column names).
enum class CurveFormat { Csv, Chronomodel, Magic };

// Parses "csv", "chronomodel" or "magic"; throws arven::Error otherwise.
CurveFormat curve_format(const std::string& name);

std::string curve_csv(const Provenance& provenance, const Site& site, const std::vector<Direction>& curve);

// `component` is "dec" or "inc".
std::string curve_chronomodel(const Provenance& provenance, const Site& site,
                              const std::vector<Direction>& curve, const std::string& component);

std::string curve_magic(const Provenance& provenance, const Site& site, const std::vector<Direction>& curve);

// The two file names of a chronomodel pair for the base name `out` (a
// trailing ".csv" removed): base_dec.csv and base_inc.csv.
std::vector<std::string> chronomodel_file_names(const std::string& out);

// Writes `text` to the file `path` (replacing it).  Throws arven::Error when
// the file cannot be written completely.
void write_text_file(const std::string& path, const std::string& text);

}  // namespace arven
