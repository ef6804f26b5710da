#pragma once
// Creating, growing and releasing the series header, and the two generation entry points.

#include <cstdint>

#include "platform/window.h"
#include "random.h"
#include "records.h"

namespace series {

// Makes `header` (or a new one) ready for N samples, maxPulses pulses and M etalons. Storage only
// grows; a re-layout clears samples and per-pulse arrays and keeps a subset that still fits.
// On allocation failure the header, even a supplied one, is released and null is returned.
// Refused parameters (checkSeriesParameters) return the header unchanged.
SeriesHeaderPtr getCutOffSeriesHeader(platform::Window& window, uint16_t M, uint16_t L,
                                      uint16_t Tmin, uint16_t Tmax, uint32_t N,
                                      SeriesHeaderPtr header);

// getCutOffSeriesHeader, then makeExtSeries with the same arguments.
SeriesHeaderPtr getCutOffSeries(platform::Window& window, uint16_t M, const Alphabet& alphabet,
                                uint16_t L, uint16_t Tmin, uint16_t Tmax, uint32_t N, uint16_t K,
                                uint16_t* sequence, int16_t amplitude, uint16_t savedLevel,
                                SeriesHeaderPtr header, RandomStreams& streams);

// Draws K = minPulses + (nextRandom(pulse count) >> 2) mod (maxPulses - minPulses + 1), then
// getCutOffSeries with it (K itself is ignored). When maxPulses < minPulses it returns null at
// once, without a message, and the header passed in is released (callers store the result).
SeriesHeaderPtr getRandomCutOffSeries(platform::Window& window, uint16_t M,
                                      const Alphabet& alphabet, uint16_t L, uint16_t Tmin,
                                      uint16_t Tmax, uint32_t N, uint16_t K, uint16_t* sequence,
                                      int16_t amplitude, uint16_t savedLevel,
                                      SeriesHeaderPtr header, RandomStreams& streams);

// Releases the header and all its storage; null accepted. Always 1.
int freeSeriesHeader(platform::Window& window, SeriesHeaderPtr header);

}  // namespace series
