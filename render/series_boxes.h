#pragma once
// The two boxes of etalon cells on the series screen: the alphabet column with the required
// etalons, and the pattern tuples of tuple series.

#include <cstdint>

#include "engine/chains.h"
#include "record_access.h"
#include "series/records.h"
#include "series_layout.h"
#include "series_view.h"
#include "surface.h"

namespace render {

// The column of required etalons in two columns of cells, captioned with their number. For a
// recognition run the cell of the recognised etalon (the first etalon of the best chain) is grey.
void drawAlphabetColumn(Surface& surface, const SeriesLayout& layout, const RunKinds& kinds,
                        const engine::ChainsHeader* chains, const series::SeriesHeader& series,
                        uint16_t requiredCount, const uint16_t* requiredList, int32_t amplitude);

// For a tuple run: tuple detection shows the current subset in one row (" pattern tuple "),
// tuple recognition every stored subset in a row of its own (" pattern tuples "), the current
// reserved subset red and the recognised one grey, and records each row's rectangle in
// `rowRects` (as far as its capacity goes).
void drawPatternTuples(Surface& surface, const SeriesLayout& layout, const RunKinds& kinds,
                       const series::SeriesHeader& series, int32_t amplitude,
                       int32_t currentReservedSubset, ReservedSubsetRects rowRects);

}  // namespace render
