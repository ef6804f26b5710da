#pragma once
// The scale of the simulation graphs: the normalisers the error tables are divided by, the
// provisional top of the value axis per graph kind, and its rounding to a round number.

#include <cstdint>

#include "series/records.h"
#include "simulation/measures.h"
#include "simulation/rest_error_header.h"

namespace render {

// One normaliser per pulse count for each table, in working arrays the caller owns.
struct GraphNormalisers {
    simulation::GraphMeasures measures;  // etEnergy, minSq, Rmin, Rmax
    int64_t* restoring = nullptr;        // P values: 2 Kmax (etEnergy - Rmin)
    int64_t* detection = nullptr;        // P values: D0 = (Tmax - len)^2
    int64_t* recognition = nullptr;      // P values: u, the repeats per cell
};

// Fills the three arrays of P values (already filled with 1) and the measures: `known` when
// given, else worked out from the series header's last series.
void computeGraphNormalisers(GraphNormalisers& out, const simulation::RestErrorHeader& record,
                             uint16_t requiredCount, const uint16_t* requiredList,
                             const series::SeriesHeader& series,
                             const simulation::GraphMeasures* known = nullptr);

// The provisional top Q of the value axis, in thousandths, for a graph kind.
int64_t provisionalAxisTop(int32_t kind, const simulation::RestErrorHeader& record,
                           const GraphNormalisers& normalisers);

// Q rounded up to 1, 2 or 5 times a power of ten: 300 -> 500, 120 -> 200, 50 -> 50. At least 1.
int64_t roundAxisTop(int64_t q);

// The axis top Z in thousandths: the rounded provisional top, or the fixed upper bound.
int64_t axisTop(int64_t provisional, int32_t fixedUpperBound, double upperBound);

}  // namespace render
