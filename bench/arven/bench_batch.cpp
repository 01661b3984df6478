// Batch dating throughput: samples per second for a batch file of synthetic
// samples (directions taken from the model at random epochs, with noise), all
// at different sites or ten samples per site, over 0..1900 AD in one-year
// steps.  The figure to watch is items_per_second.
#include <benchmark/benchmark.h>

#include <random>
#include <string>

#include "arven/batch.hpp"

namespace {

const arven::Model& model() {
    static const arven::Model m = arven::Model::load(ARVEN_BUNDLED_COEF);
    return m;
}

// A batch file of `count` samples, `per_site` consecutive samples at each site.
std::string batch_text(int count, int per_site) {
    std::mt19937 random(20261211);
    std::uniform_real_distribution<double> lat(36.0, 59.0), lon(-14.0, 29.0), epoch(0.0, 1900.0), noise(-1.5, 1.5);
    std::string text = "id,lat,lon,dec,inc,a95\n";
    double site_lat = 0.0, site_lon = 0.0;
    for (int i = 0; i < count; ++i) {
        if (i % per_site == 0) {
            site_lat = lat(random);
            site_lon = lon(random);
        }
        const double t = epoch(random);
        const arven::Site site = arven::make_site(site_lat, site_lon);
        const arven::Direction d = arven::direction_at(site, run::interpolate(model().table(), t), t);
        text.append("s").append(std::to_string(i)).append(",");
        text.append(std::to_string(site_lat)).append(",").append(std::to_string(site_lon)).append(",");
        text.append(std::to_string(d.dec + noise(random))).append(",");
        text.append(std::to_string(d.inc + noise(random))).append(",2.5\n");
    }
    return text;
}

void BM_BatchDating(benchmark::State& state) {
    const int count = 200;
    const std::string text = batch_text(count, static_cast<int>(state.range(0)));
    const arven::Provenance provenance = arven::provenance_of(model(), "bench");
    const arven::EpochRange range{0.0, 1900.0, 1.0};
    for (auto _ : state) {
        const arven::BatchInput input = arven::parse_batch(text);
        const arven::BatchOutput out = arven::run_batch(model(), range, input, provenance);
        benchmark::DoNotOptimize(out.text.data());
    }
    state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_BatchDating)->Arg(1)->Arg(10)->ArgName("samples_per_site")->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

}  // namespace

BENCHMARK_MAIN();
