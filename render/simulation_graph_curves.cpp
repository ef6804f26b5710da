#include "simulation_graph_curves.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "simulation_graphs.h"

namespace render {

namespace {

// ⌊H·v·1000/Z⌋ within 0 .. H for a value in double precision.
int32_t heightOf(double v, int64_t Z, int32_t H) {
    const double h = std::floor(double(H) * v * 1000.0 / double(Z));
    if (!(h > 0))
        return 0;
    return h >= H ? H : static_cast<int32_t>(h);
}

// ⌊H·(num/den)·1000/Z⌋ within 0 .. H for a value that is a ratio of integers, exactly.
int32_t heightOfRatio(int64_t num, int64_t den, int64_t Z, int32_t H) {
    if (den <= 0 || num <= 0)
        return 0;
    const __int128 h = __int128{H} * 1000 * num / (__int128{den} * Z);
    return h >= H ? H : static_cast<int32_t>(h);
}

std::string number(int32_t v) {
    return std::to_string(v);
}

const std::vector<StrokeOffset> kTwiceLower{{0, 0}, {0, 1}};
const std::vector<StrokeOffset> kLowerThenRight{{0, 0}, {0, 1}, {1, 0}};
const std::vector<StrokeOffset> kRightThenLower{{0, 0}, {1, 0}, {0, 1}};

// exp(-num / sigma^2), with the limits for sigma = 0.
double decay(double num, double sigma) {
    if (num == 0)
        return 1.0;
    if (sigma == 0)
        return num > 0 ? 0.0 : std::numeric_limits<double>::infinity();
    return std::exp(-num / (sigma * sigma));
}

}  // namespace

RecognitionBounds recognitionBounds(const simulation::RestErrorHeader& r,
                                    const series::SeriesHeader& s,
                                    const simulation::GraphMeasures& m, int32_t sigma) {
    RecognitionBounds b;
    b.e1 = (4 * (int64_t{m.etEnergy} - m.Rmin) + 4) / 8;
    const bool tuples = r.wSeriesKind == series::kFixedTuples || r.wTaskKind == 40;
    int64_t p = m.etEnergy;
    int64_t rMax = m.Rmax;
    if (!tuples) {
        p = std::max<int64_t>((int64_t{r.wCreateSavedLevel} * m.etEnergy + 50) / 100, m.minSq);
        rMax = 0;
    }
    b.e2 = (4 * (p - rMax) + 8) / 16;
    b.first = 0.5 - 0.5 * std::sqrt(std::max(0.0, 1.0 - decay(double(s.wMaxPulses) * b.e1, sigma)));
    b.second = 0.5 * decay(double(s.wMinPulses) * b.e2, sigma);
    return b;
}

std::vector<GraphCurve> graphCurves(int32_t kind, const simulation::RestErrorHeader& r,
                                    const series::SeriesHeader& s, const GraphNormalisers& g,
                                    int64_t Z, int32_t H) {
    const uint16_t P = r.wVariousPulses, L = r.wNoiseLevels;
    int32_t** restoring = r.lpRestoringErrors();
    int32_t** detection = r.lpDetectionErrors;
    int32_t** recognition = r.lpRecognitionErrors;
    std::vector<GraphCurve> curves;
    const auto perPulseCount = [&](const std::vector<StrokeOffset>& strokes, auto height) {
        for (uint16_t j = 0; j < P; ++j) {
            GraphCurve c;
            c.strokes = strokes;
            c.label = number(r.wPulseValues[j]);
            for (uint16_t k = 0; k < L; ++k)
                c.heights.push_back(height(k, j));
            curves.push_back(std::move(c));
        }
    };
    const auto aggregate = [&](const std::vector<StrokeOffset>& strokes, std::string label,
                               auto height) {
        GraphCurve c;
        c.strokes = strokes;
        c.label = std::move(label);
        for (uint16_t k = 0; k < L; ++k)
            c.heights.push_back(height(k));
        curves.push_back(std::move(c));
    };
    switch (kind) {
        case kRestoredComponentwise:
            perPulseCount(kTwiceLower, [&](uint16_t k, uint16_t j) {
                return heightOfRatio(restoring[k][j], g.restoring[j], Z, H);
            });
            break;
        case kRestoredAggregate:
            aggregate(kTwiceLower, "", [&](uint16_t k) {
                double sum = 0;
                for (uint16_t j = 0; j < P; ++j)
                    if (g.restoring[j] > 0)
                        sum += restoring[k][j] / double(g.restoring[j]);
                return heightOf(P ? sum / P : 0.0, Z, H);
            });
            break;
        case kDetectionComponentwise:
            perPulseCount(kLowerThenRight, [&](uint16_t k, uint16_t j) {
                const double u = double(g.recognition[j]), d0 = double(g.detection[j]);
                const double v = u > 0 && d0 > 0 ? detection[k][j] / u / d0 : 0.0;
                return heightOf(std::sqrt(std::max(0.0, v)), Z, H);
            });
            break;
        case kDetectionAggregate:
            aggregate(kTwiceLower, number(P), [&](uint16_t k) {
                double sum = 0;
                for (uint16_t j = 0; j < P; ++j)
                    sum += detection[k][j];
                const double by =
                    P ? double(P) * double(g.detection[0]) * double(g.recognition[0]) : 0.0;
                return heightOf(by > 0 ? std::sqrt(std::max(0.0, sum / by)) : 0.0, Z, H);
            });
            break;
        case kRecognitionComponentwise:
        case kRecognitionComponentwiseBounds:
            perPulseCount(kRightThenLower, [&](uint16_t k, uint16_t j) {
                return heightOfRatio(recognition[k][j], g.recognition[j], Z, H);
            });
            break;
        case kRecognitionAggregate:
        case kRecognitionAggregateBounds:
            aggregate(kRightThenLower, "S", [&](uint16_t k) {
                int64_t sum = 0;
                for (uint16_t j = 0; j < P; ++j)
                    sum += recognition[k][j];
                return heightOfRatio(sum, P ? g.recognition[0] * P : 0, Z, H);
            });
            break;
        default:
            break;
    }
    if ((kind == kRecognitionComponentwiseBounds || kind == kRecognitionAggregateBounds) && L > 1) {
        GraphCurve first, second;
        first.firstLevel = second.firstLevel = 1;
        first.strokes = second.strokes = kRightThenLower;
        for (uint16_t k = 1; k < L; ++k) {
            const RecognitionBounds b = recognitionBounds(r, s, g.measures, r.lpNoiseLevels[k]);
            first.heights.push_back(heightOf(b.first, Z, H));
            second.heights.push_back(heightOf(b.second, Z, H));
        }
        curves.push_back(std::move(first));
        curves.push_back(std::move(second));
    }
    return curves;
}

}  // namespace render
