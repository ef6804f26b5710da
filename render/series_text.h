#pragma once
// The texts of the series view: the header lines above the graphs and the result text below
// them (detected pulses, restoration error, the chain table with the true placement).

#include "engine/chains.h"
#include "record_access.h"
#include "series/records.h"
#include "series_layout.h"
#include "series_measures.h"
#include "surface.h"

namespace render {

// The header lines from y = T0 - lh/2: the kinds of the run (only when the chains record marks
// them), the series parameters with the amplitude as drawn and the noise ratios, the pulse
// count line and the list of the true pulses (19 at most, then "...").
void drawHeaderLines(Surface& surface, const SeriesLayout& layout, const RunKinds& kinds,
                     const series::SeriesHeader& series, int32_t amplitude,
                     const SeriesEnergies& energies, bool withNames);

// The result text from the result text top: "Detected ..." with the found pulses (10 at most)
// or tuples, "Restore Error %d. ", and with a chains record the table of its best chains (6 at
// most, 19 pulses each) followed by the true placement.
void drawResultText(Surface& surface, const SeriesLayout& layout, const RunKinds& kinds,
                    const engine::ChainsHeader* chains, const series::SeriesHeader& series,
                    bool withNames);

}  // namespace render
