// The grid prediction program: asks for an epoch, writes grid_arven.ma.3.dat.
#include "run/gridrun.hpp"

int main() { return run::GRIDRUN(); }
