#pragma once
// Where the series screen's picture goes inside the work area (graphs, result text, alphabet
// column), and how a graph maps samples to pixels. Integer arithmetic throughout; divisions
// truncate toward zero.

#include <cstdint>

#include "surface.h"

namespace render {

struct SeriesLayout {
    // The work area and the line height.
    int32_t L0 = 0, T0 = 0, R0 = 0, B0 = 0;
    int32_t W = 0, H = 0, lh = 0;

    int32_t marginX = 0;
    int32_t x0 = 0;  // left of the texts and graphs
    int32_t gapY = 0;
    int32_t halfGapY = 0;
    int32_t graphWidth = 0;
    int32_t graphHeight = 0;
    int32_t graphTop[3] = {0, 0, 0};
    int32_t resultTop = 0;

    int32_t alphabetRows = 0;
    int32_t alphabetCellWidth = 0;
    int32_t alphabetCellHeight = 0;
    int32_t alphabetBoxLeft = 0;
    int32_t alphabetBoxTop = 0;
    int32_t alphabetBoxWidth = 0;
    int32_t alphabetBoxHeight = 0;
    int32_t alphabetSpace = 0;
};

// The layout for a work area (inclusive rectangle), a line height, the fixed graph size
// setting and the number of required etalons shown in the alphabet column.
SeriesLayout computeSeriesLayout(const Rect& workArea, int32_t lineHeight, bool specialGraphSize,
                                 int32_t requiredCount);

// The rectangle of graph g (0, 1, 2): right = left + graphWidth, bottom = top + graphHeight.
Rect graphRect(const SeriesLayout& layout, int g);

// The half-range E of the graphs for the drawing amplitude A and the noise level:
// S = A when A > 8 * noise / 3, else 8 * noise / 3; E = S + S / 8 (the eighth by arithmetic
// shift), a 16-bit value. A sum that a 16-bit value cannot hold would wrap to a negative or zero
// range, which would turn the graphs upside down or divide by zero; it is held at 32767 instead,
// and a range below 1 (a negative amplitude without noise) is raised to 1.
int32_t graphHalfRange(int32_t amplitude, int32_t noiseLevel);

// Sample positions and values to pixels inside a graph rectangle (left a, top b, right c,
// bottom d) of a series of N samples with half-range E.
class GraphMapping {
  public:
    GraphMapping(const Rect& graph, uint32_t N, int32_t E);

    // Column of sample position i as an offset from the left edge: i * (c - a) / (N - 1); every
    // sample of a series of fewer than two samples lies at the left edge.
    int32_t column(int64_t i) const;
    int32_t x(int64_t i) const { return a + column(i); }
    // d - (v + E) * (d - b) / (2E).
    int32_t y(int64_t v) const;
    // b + (d - b) / 2.
    int32_t zeroLine() const { return b + (d - b) / 2; }

    int32_t a, b, c, d;
    uint32_t N;
    int32_t E;
};

}  // namespace render
