// Time of the per-node computation (five basis calls, sums, errors) and of the
// whole 46 x 26 grid, without the report's input and output.
#include <benchmark/benchmark.h>

#include "geometry/geometry.hpp"
#include "run/prediction.hpp"

namespace {

// The bundled file's first record.
const run::CoefficientRecord kCoef = {
    2.6837687E+04, 9.2743589E+03, -2.0343383E+04, -2.1349640E+03, -1.1131713E+03, 3.3529146E+03,
    7.8060332E+02, -4.9001840E+00, 2.9071007E+01, 1.5562368E+03, 8.7960969E+02, 2.9412420E+02,
    2.7310493E+02, 3.9086826E+02, 1.4990896E+02, 1.3927976E+02, 1.4565379E+02, 1.4102936E+02};

void BM_GridNode(benchmark::State& state)
{
    geometry::DegreeTable NK{};
    geometry::CAPTAB(NK);
    int node = 0;
    for (auto _ : state) {
        const int longitude = -15 + (node / 26) % 46, latitude = 35 + node % 26;
        const run::NodeBasis basis = run::evaluate_basis(NK, latitude, longitude);
        benchmark::DoNotOptimize(run::evaluate_field(basis, kCoef));
        node = (node + 1) % (46 * 26);
    }
}
BENCHMARK(BM_GridNode);

void BM_WholeGrid(benchmark::State& state)
{
    geometry::DegreeTable NK{};
    geometry::CAPTAB(NK);
    for (auto _ : state) {
        for (int longitude = -15; longitude <= 30; ++longitude)
            for (int latitude = 35; latitude <= 60; ++latitude) {
                const run::NodeBasis basis = run::evaluate_basis(NK, latitude, longitude);
                benchmark::DoNotOptimize(run::evaluate_field(basis, kCoef));
            }
    }
}
BENCHMARK(BM_WholeGrid)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
