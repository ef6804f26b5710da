#pragma once
// A recorded series in the series record: the samples as the noisy series, no truth.

#include <cstdint>
#include <string>
#include <vector>

#include "common.h"
#include "platform/window.h"
#include "series/records.h"

namespace cli {

// Lays out `header` (or a new one) for the samples as generation would for that length, and
// stores them as the noisy series. The clean series is zero, the noise level 0. With a known
// count K (0 for none) the feasible start range of each of the K pulses is set as generation
// sets it, which the known-count procedures search. Null on failure (message on `window`).
series::SeriesHeaderPtr makeObservedSeries(platform::Window& window, const SeriesOptions& options,
                                           const series::Alphabet& alphabet,
                                           const std::vector<int16_t>& samples, uint16_t K,
                                           series::SeriesHeaderPtr header);

// The readable summary of a recorded series: where it comes from, its bounds and energy.
std::string observedSummary(const series::SeriesHeader& header, const std::string& file,
                            const std::string& format);

}  // namespace cli
