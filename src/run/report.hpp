// Internal to the run: the records of the grid report grid_arven.ma.3.dat,
// in file order.  Every record goes through the record layer on unit 61.
#pragma once

#include "run/prediction.hpp"

namespace run {

// Connects the report (replacing an earlier one) and writes its three title records.
void write_report_title();

// The epoch record ("Time: " and the epoch in F8.1, then "AD") and the column heading.
void write_report_heading(double time);

// One row: latitude F7.2, longitude F8.2, declination F10.2, inclination
// F11.2, their errors 2F12.2, all degrees.
void write_report_row(const NodeBasis& basis, const NodeResult& result);

// A blank record, the five-record reference block, and the close (keeping the file).
void write_report_closing();

}  // namespace run
