#include "series_layout.h"

#include <algorithm>

#include "series_view.h"

namespace render {

SeriesLayout computeSeriesLayout(const Rect& work, int32_t lineHeight, bool specialGraphSize,
                                 int32_t requiredCount) {
    SeriesLayout l;
    l.L0 = work.left;
    l.T0 = work.top;
    l.R0 = work.right;
    l.B0 = work.bottom;
    l.W = l.R0 - l.L0 + 1;
    l.H = l.B0 - l.T0 + 1;
    l.lh = lineHeight;
    const int32_t lh = l.lh;

    l.marginX = 12 * l.W / 1000;
    l.x0 = l.L0 + l.marginX;
    l.gapY = (15 * l.H + 500) / 1000;
    l.halfGapY = (15 * l.H + 1000) / 2000;
    l.graphWidth = specialGraphSize ? 618 : 800 * l.W / 1000;
    l.graphHeight = specialGraphSize ? 112 : 330 * (l.H - 18 * lh) / 1000;
    if (l.graphHeight % 2 != 0)
        ++l.graphHeight;
    l.graphTop[0] = l.T0 + 4 * lh + 1;
    l.graphTop[1] = l.graphTop[0] + l.graphHeight + lh;
    l.graphTop[2] = l.graphTop[1] + l.graphHeight + lh;
    l.resultTop = l.graphTop[2] + l.graphHeight + lh + lh / 2;

    l.alphabetRows = (std::max(requiredCount, 0) + 1) / 2;
    l.alphabetCellWidth = 50 * l.W / 1000;
    l.alphabetBoxWidth = 2 * (l.alphabetCellWidth + 2 * l.marginX) + l.marginX / 2;
    l.alphabetBoxLeft = l.R0 - l.alphabetBoxWidth - l.marginX + 1;
    l.alphabetBoxTop = l.T0 + l.gapY + lh / 2;
    l.alphabetSpace = l.B0 - l.alphabetBoxTop - (lh + lh / 4 - 3);
    l.alphabetCellHeight = (l.alphabetSpace - 2 * l.gapY) / 8 - (l.halfGapY + lh);
    l.alphabetBoxHeight = (l.alphabetCellHeight + l.halfGapY + lh) * l.alphabetRows + 2 * l.gapY;
    // Too many rows for the cell height of eight rows: the cells share the whole space. An
    // empty list has no rows to share it (and is never taller than the space but for a
    // degenerate area).
    if (l.alphabetBoxHeight > l.alphabetSpace && l.alphabetRows > 0) {
        l.alphabetCellHeight = (l.alphabetSpace - 2 * l.gapY) / l.alphabetRows - (l.halfGapY + lh);
        l.alphabetBoxHeight = l.alphabetSpace;
    }
    return l;
}

Rect graphRect(const SeriesLayout& l, int g) {
    const int32_t top = l.graphTop[std::clamp(g, 0, 2)];
    return Rect{l.x0, top, l.x0 + l.graphWidth, top + l.graphHeight};
}

int32_t drawingAmplitude(int32_t amplitude, int32_t noiseLevel) {
    if (amplitude != 0)
        return amplitude;
    // The doubling stops at 32768, which covers every 16-bit noise level.
    int32_t a = 128;
    while (a < noiseLevel && a < 32768)
        a *= 2;
    return a;
}

int32_t graphHalfRange(int32_t amplitude, int32_t noiseLevel) {
    const int64_t third = 8 * int64_t{noiseLevel} / 3;
    const int64_t S = amplitude > third ? amplitude : third;
    const int64_t E = S + (S >> 3);
    return static_cast<int32_t>(std::clamp<int64_t>(E, 1, 32767));
}

GraphMapping::GraphMapping(const Rect& g, uint32_t n, int32_t e)
    : a(g.left), b(g.top), c(g.right), d(g.bottom), N(n), E(e) {}

int32_t GraphMapping::column(int64_t i) const {
    if (N < 2)
        return 0;
    return static_cast<int32_t>(i * (int64_t{c} - a) / (int64_t{N} - 1));
}

int32_t GraphMapping::y(int64_t v) const {
    if (E == 0)
        return zeroLine();
    return static_cast<int32_t>(d - (v + E) * (int64_t{d} - b) / (2 * int64_t{E}));
}

}  // namespace render
