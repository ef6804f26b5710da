#pragma once
// The pieces of the series view's graphs. Each routine draws into a graph rectangle (left a,
// top b, right c = a + graphWidth, bottom d = b + graphHeight) with the mapping of
// series_layout.h: sample i at x = a + i * (c - a) / (N - 1), value v at
// y = d - (v + E) * (d - b) / (2E), the zero line at b + (d - b) / 2. Lines use the current pen
// unless said otherwise; whatever a routine selects it restores.

#include <cstdint>

#include "record_access.h"
#include "series/records.h"
#include "surface.h"

namespace render {

// Vertical line at the left edge from top to bottom, the zero line from left to right.
void drawGraphAxes(Surface& surface, const Rect& graph);
// The rectangle (a, b) to (c + 1, d + 1) with the current pen and brush.
void drawGraphOutline(Surface& surface, const Rect& graph);

// The noisy series in a blue 1-pixel pen, from the left end of the zero line.
void drawNoisySeries(Surface& surface, const Rect& graph, int32_t E,
                     const series::SeriesHeader& series);
// Each true pulse from the zero line at its start through every sample of its etalon and back
// to the zero line below the last sample.
void drawPulseShapes(Surface& surface, const Rect& graph, int32_t E,
                     const series::SeriesHeader& series);
// The same with the detected starts and etalons.
void drawDetectedShapes(Surface& surface, const Rect& graph, int32_t E,
                        const series::SeriesHeader& series);
// Each true pulse from the zero line at its start through its samples cut begin .. cut end,
// ending on the zero line below the cut end.
void drawCutPulses(Surface& surface, const Rect& graph, int32_t E,
                   const series::SeriesHeader& series);
// Black dots every second row and column between the zero line and the curve of every true
// pulse's placed samples.
void shadePulses(Surface& surface, const Rect& graph, int32_t E,
                 const series::SeriesHeader& series);

// Labels hanging below the graph: "%d" (position), the etalon letter when withNames, and
// "[%d..%d] " (cut range) when seriesKind is 2 or 8, at the pulse's x - 5 and y = d - 1.
void drawPulseLabels(Surface& surface, const Rect& graph, uint16_t seriesKind, PulseSet which,
                     bool withNames, const series::SeriesHeader& series);

// Dotted brackets round every detected pulse and dotted lines at its cut begin and end.
void bracketDetectedPulses(Surface& surface, const series::SeriesHeader& series, const Rect& graph);
// A dotted frame round every detected tuple.
void frameDetectedTuples(Surface& surface, const series::SeriesHeader& series, const Rect& graph);
// A filled rectangle in 0xB2BFC0 behind every detected tuple.
void fillDetectedTuples(Surface& surface, const series::SeriesHeader& series, const Rect& graph);
// The tuple marks of a highlight setting: 0 none, 1 dotted frame, 2 coloured background.
void drawTupleMarks(Surface& surface, const series::SeriesHeader& series, const Rect& graph,
                    int32_t tuplesHighlight);

}  // namespace render
