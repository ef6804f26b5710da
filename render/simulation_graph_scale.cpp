#include "simulation_graph_scale.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "simulation_graphs.h"

namespace render {

namespace {

// Ratios of a cell to its normaliser; 0 where there is nothing to divide by.
double ratio(double value, double by) {
    return by > 0 ? value / by : 0.0;
}

int64_t thousandths(double v) {
    if (!(v > 0))
        return 0;
    return static_cast<int64_t>(std::min(std::floor(1000.0 * v), 1e15));
}

}  // namespace

void computeGraphNormalisers(GraphNormalisers& out, const simulation::RestErrorHeader& r,
                             uint16_t n, const uint16_t* list, const series::SeriesHeader& s,
                             const simulation::GraphMeasures* known) {
    out.measures = known ? *known : simulation::graphMeasures(r, n, list, s);
    const int64_t restoring =
        2 * int64_t{s.wMaxPulses} * (int64_t{out.measures.etEnergy} - out.measures.Rmin);
    const int64_t gap = int64_t{s.wTmax} - s.wImpulseSize;
    const int64_t u = r.repeats & 0xFFFF;
    for (uint16_t j = 0; j < r.wVariousPulses; ++j) {
        out.restoring[j] = restoring;
        out.detection[j] = gap * gap;
        out.recognition[j] = u;
    }
}

int64_t provisionalAxisTop(int32_t kind, const simulation::RestErrorHeader& r,
                           const GraphNormalisers& g) {
    const uint16_t P = r.wVariousPulses, L = r.wNoiseLevels;
    int32_t** restoring = r.lpRestoringErrors();
    int32_t** detection = r.lpDetectionErrors;
    switch (kind) {
        case kRestoredComponentwise: {
            int64_t q = 50;
            for (uint16_t k = 0; k < L; ++k)
                for (uint16_t j = 0; j < P; ++j)
                    if (g.restoring[j] > 0)
                        q = std::max(q,
                                     1000 * int64_t{std::max(restoring[k][j], 0)} / g.restoring[j]);
            return q;
        }
        case kRestoredAggregate: {
            if (P == 0)
                return 0;
            double sMax = 0;
            for (uint16_t k = 0; k < L; ++k) {
                double sum = 0;
                for (uint16_t j = 0; j < P; ++j)
                    sum += ratio(restoring[k][j], double(g.restoring[j]));
                sMax = std::max(sMax, sum);
            }
            return thousandths(std::max({0.079, 0.49 * P, sMax}) / P);
        }
        case kDetectionComponentwise: {
            double greatest = 0;
            for (uint16_t j = 0; j < P; ++j) {
                const int64_t u = g.recognition[j];
                if (u <= 0)
                    continue;
                int64_t most = 0;
                for (uint16_t k = 0; k < L; ++k)
                    most = std::max<int64_t>(most, detection[k][j]);
                const int64_t meanSquare = (u + 2 * most) / (2 * u);
                greatest = std::max(greatest,
                                    std::sqrt(ratio(double(meanSquare), double(g.detection[j]))));
            }
            return std::max<int64_t>(thousandths(std::max(0.3, greatest)), 50);
        }
        case kDetectionAggregate: {
            double most = 0;
            for (uint16_t k = 0; k < L; ++k) {
                double sum = 0;
                for (uint16_t j = 0; j < P; ++j)
                    sum += detection[k][j];
                most = std::max(most, sum);
            }
            const double by =
                P > 0 ? double(P) * double(g.detection[0]) * double(g.recognition[0]) : 0.0;
            return std::max<int64_t>(thousandths(std::max(0.24, std::sqrt(ratio(most, by)))), 50);
        }
        default:
            return 500;
    }
}

int64_t roundAxisTop(int64_t q) {
    int64_t z = 1;
    for (int64_t rest = q; rest > 0; rest /= 10)
        z *= 10;
    if (z >= 5 * q)
        z /= 5;
    if (z >= 2 * q)
        z /= 2;
    if (z >= 2 * q)
        z /= 2;
    return std::max<int64_t>(z, 1);
}

int64_t axisTop(int64_t provisional, int32_t fixedUpperBound, double upperBound) {
    if (fixedUpperBound && upperBound > 0) {
        // A bound below a thousandth would leave no scale; a huge one is kept within range.
        const double z = std::floor(std::min(upperBound, 1e9) * 1000.0);
        return std::max<int64_t>(static_cast<int64_t>(z), 1);
    }
    return roundAxisTop(provisional);
}

}  // namespace render
