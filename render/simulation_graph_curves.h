#pragma once
// The error curves of the simulation graphs: per graph kind, the points over the noise levels as
// heights in pixels above the bottom of the graph box, the repeated strokes that thicken them
// and the label written after the last point.

#include <cstdint>
#include <string>
#include <vector>

#include "series/records.h"
#include "simulation/rest_error_header.h"
#include "simulation_graph_scale.h"

namespace render {

// Where a repeated stroke of a curve is drawn, relative to the first one.
struct StrokeOffset {
    int32_t dx = 0;
    int32_t dy = 0;  // downwards
    bool operator==(const StrokeOffset&) const = default;
};

struct GraphCurve {
    int32_t firstLevel = 0;        // noise-level index of the first point
    std::vector<int32_t> heights;  // one per level from firstLevel on, 0 .. box height
    std::vector<StrokeOffset> strokes;
    std::string label;  // written after the last point; empty: none
};

// The curves of a graph kind (none for a kind without curves) in a box `boxHeight` pixels high
// whose top stands for `axisTop` thousandths. A value v is drawn ⌊boxHeight·v·1000 / axisTop⌋
// above the bottom, kept within the box.
std::vector<GraphCurve> graphCurves(int32_t kind, const simulation::RestErrorHeader& record,
                                    const series::SeriesHeader& series,
                                    const GraphNormalisers& normalisers, int64_t axisTop,
                                    int32_t boxHeight);

// The values of the two bound curves of the recognition graphs at noise level sigma:
// 0.5 - 0.5 sqrt(1 - exp(-Kmax e1 / sigma^2)) and 0.5 exp(-Kmin e2 / sigma^2).
struct RecognitionBounds {
    int64_t e1 = 0;  // (4 (etEnergy - Rmin) + 4) / 8
    int64_t e2 = 0;  // (4 (p - Rmax) + 8) / 16
    double first = 0;
    double second = 0;
};
RecognitionBounds recognitionBounds(const simulation::RestErrorHeader& record,
                                    const series::SeriesHeader& series,
                                    const simulation::GraphMeasures& measures, int32_t sigma);

}  // namespace render
