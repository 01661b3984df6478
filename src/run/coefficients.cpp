// The coefficient history: reading it and interpolating it to an epoch.
#include <span>

#include "run/constants.hpp"
#include "run/prediction.hpp"
#include "textio/textio.hpp"

namespace run {

void load_coefficients(std::string_view file_name, CoefficientTable& COEFTAB)
{
    // The records lie contiguous in file order, so one free-form read fills
    // record 1 completely, then record 2, and so on.
    std::span<double> numbers(COEFTAB.record.front().data(), NRECORDS * NENTRIES);
    textio::UNITOPEN(COEFFICIENT_UNIT, file_name);
    textio::LSTREAD(COEFFICIENT_UNIT, numbers);
    textio::UNITCLOS(COEFFICIENT_UNIT);
}

CoefficientRecord interpolate(const CoefficientTable& COEFTAB, double time)
{
    // Fractional record number, 1.0 at 0 AD and 381.0 at 1900 AD.
    const double x = time / 5.0 + 1.0;

    // Base record: the last i with i <= x <= i + 1, so an integral x takes
    // i = x itself and x = 381 takes the last record with weight zero.
    int i = 1;
    if (x == 1.0) {
        i = 1;
    } else if (x == static_cast<double>(NRECORDS)) {
        i = NRECORDS;
    } else {
        for (int candidate = 1; candidate <= NRECORDS; ++candidate) {
            const double c = candidate;
            if (c <= x && c + 1.0 >= x) i = candidate;
        }
    }

    const CoefficientRecord& base = COEFTAB.record[static_cast<std::size_t>(i - 1)];
    if (i == NRECORDS) return base;   // there is no record after the last
    const CoefficientRecord& next = COEFTAB.record[static_cast<std::size_t>(i)];
    const double weight = x - static_cast<double>(i);

    CoefficientRecord COEF{};
    for (int k = 0; k < NENTRIES; ++k) {
        // The difference is formed first; errors are interpolated like the
        // coefficients, not in quadrature.
        const double difference = next[static_cast<std::size_t>(k)] - base[static_cast<std::size_t>(k)];
        COEF[static_cast<std::size_t>(k)] = base[static_cast<std::size_t>(k)] + weight * difference;
    }
    return COEF;
}

}  // namespace run
