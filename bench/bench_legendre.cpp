// One XDLEGF call of the grid run's kind: family 3, one value, orders 0 to 2,
// the cap degrees and each of them minus one, colatitudes 5 to 25 degrees.
// The calls cycle through all such requests, so the time per iteration is
// the mean time of one call over the grid's mix.
#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>
#include <vector>

#include "legendre/legendre.hpp"

namespace {

struct Request {
    double degree;
    std::int32_t order;
    double theta;
};

std::vector<Request> grid_requests()
{
    const std::array<double, 8> degrees = {2.9322760105133057, 2.2753965854644775, 5.012004852294922,
                                           4.090468883514404,  1.9322760105133057, 1.2753965854644775,
                                           4.012004852294922,  3.090468883514404};
    std::vector<Request> requests;
    for (int tenth = 50; tenth <= 250; tenth += 7) {
        for (double degree : degrees) {
            for (std::int32_t order = 0; order <= 2; ++order) {
                requests.push_back({degree, order, tenth * 0.1 * 0.017453292519943295});
            }
        }
    }
    return requests;
}

void BM_XDLEGF_GridCall(benchmark::State& state)
{
    const std::vector<Request> requests = grid_requests();
    std::array<double, 1> res{};
    std::array<std::int32_t, 1> ires{};
    std::size_t next = 0;
    for (auto _ : state) {
        const Request& r = requests[next];
        legendre::XDLEGF(r.degree, 0, r.order, r.order, r.theta, 3, res, ires);
        benchmark::DoNotOptimize(res);
        benchmark::DoNotOptimize(ires);
        next = next + 1 == requests.size() ? 0 : next + 1;
    }
    state.SetItemsProcessed(state.iterations());
}

}  // namespace

BENCHMARK(BM_XDLEGF_GridCall);

BENCHMARK_MAIN();
