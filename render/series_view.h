#pragma once
// The series screen's picture: the header lines, the clean series with its true pulses, the
// noisy series with the detected pulses, the restored series, the required etalons, the result
// text with the best chains, and the pattern tuples of tuple series.

#include <cstdint>
#include <string>

#include "engine/chains.h"
#include "screen_layout.h"
#include "series/records.h"
#include "surface.h"

namespace render {

// The drawing settings the series view reads.
struct SeriesViewSettings {
    int32_t frameGraphFields = 1;
    int32_t shadedOriginalPulses = 1;
    int32_t highlightDetectedPulses = 0;
    int32_t specialGraphSize = 0;
    int16_t tuplesHighlight = 2;        // 0 none, 1 dotted frame, 2 coloured background
    int32_t currentReservedSubset = 0;  // 1-based
};

// Where the view records the rows of the pattern-tuples box (one per stored tuple, up to
// `capacity`), for the clicks of the series screen.
struct ReservedSubsetRects {
    Rect* rects = nullptr;
    int32_t capacity = 0;
};

// Draws the whole view inside layout.workAreaRect. `chains` may be null (no chain table then);
// `series` may be null (nothing is drawn). Returns 1.
int drawSeriesView(Surface& surface, const ScreenLayout& layout, const SeriesViewSettings& settings,
                   uint16_t requiredCount, const uint16_t* requiredList,
                   const engine::ChainsHeader* chains, const series::SeriesHeader* series,
                   ReservedSubsetRects reservedSubsetRects);

// One etalon in a small cell: its letter, axes and curve scaled by `amplitude`; highlight 0
// none, 1 grey, 2 red (filled, the curve bold white). The plot is right - left wide and
// bottom - top high, below the letter.
void drawEtalonCell(Surface& surface, const series::PulseHeader& etalon, int32_t amplitude,
                    int highlight, const Rect& cell, int32_t lineHeight);

// Sum over the true pulses of (s_j - 2 noisy[p + j]) s_j for j from cut begin to cut end, 32-bit.
int32_t placementMeasure(const series::SeriesHeader& series);
// Sum of (pure[i] - restored[i])^2 with the series restored from the best chain, 32-bit.
int32_t restorationError(const engine::ChainsHeader& chains, const series::SeriesHeader& series);

// The amplitude the graphs are scaled with: the series' amplitude, or for 0 the smallest of
// 128, 256, 512, ... not below the noise level (at most 32768, which no 16-bit level exceeds).
int32_t drawingAmplitude(int32_t amplitude, int32_t noiseLevel);

}  // namespace render
