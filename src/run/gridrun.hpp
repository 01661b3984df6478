// The prediction run: banner, epoch dialogue, coefficient history, grid walk
// and report.  Reads ARV_coeff_00.inp and writes grid_arven.ma.3.dat in the
// working directory.
#pragma once

namespace run {

// One whole run of the program; returns the process exit status
// (0 normal stop, 1 failure, 150 the basis-count stop).
int GRIDRUN();

}  // namespace run
