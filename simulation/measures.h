#pragma once
// The normalisations under which the simulation graphs show the error tables: the etalon energy
// and the correlation bounds of the etalons involved, and the per-cell normalised values.

#include <cstdint>

#include "rest_error_header.h"
#include "series/records.h"

namespace simulation {

struct GraphMeasures {
    int32_t etEnergy = 0;  // energy of the series' first-pulse etalon (tuple recognition: the
                           // greatest energy of a tuple member)
    int32_t minSq = 0;     // least squared sample of that etalon
    int32_t Rmin = 0;      // least correlation (and 0)
    int32_t Rmax = 0;      // greatest correlation (and 0); 0 outside tuple recognition
    double restoringNormaliser = 0;  // 2 * Kmax * (etEnergy - Rmin)
    double detectionNormaliser = 0;  // (Tmax - len)^2
};

GraphMeasures graphMeasures(const RestErrorHeader& record, uint16_t listCount,
                            const uint16_t* requiredList, const series::SeriesHeader& header);

// The graph values of cell (k, j): restoring error / normaliser, sqrt(detection / u / D0) and
// recognition / u (0 where a normaliser is 0).
struct CellValues {
    double restoring = 0;
    double detection = 0;
    double recognition = 0;
};
CellValues normalisedCell(const RestErrorHeader& record, const GraphMeasures& measures, uint16_t k,
                          uint16_t j);

}  // namespace simulation
