#pragma once
// Filling a laid-out series header with a synthetic series, and adding noise to it.

#include <cstdint>

#include "platform/window.h"
#include "random.h"
#include "records.h"

namespace series {

// Pulse-count bounds: minPulses = (N + L - 1) / Tmax (1 when 0), maxPulses = (N - L + Tmin) / Tmin.
uint16_t minPulsesFor(uint32_t N, uint16_t L, uint16_t Tmax);
uint16_t maxPulsesFor(uint32_t N, uint16_t L, uint16_t Tmin);

// Feasible start range of pulse k of K: lo(k) = max(k*Tmin, N - (K-k)*Tmax),
// hi(k) = min((k+1)*Tmax - L, N - L - (K-1-k)*Tmin).
int32_t startLow(uint32_t N, uint16_t Tmin, uint16_t Tmax, uint16_t K, uint16_t k);
int32_t startHigh(uint32_t N, uint16_t L, uint16_t Tmin, uint16_t Tmax, uint16_t K, uint16_t k);

// Largest series length the 16-bit signed per-pulse positions can address.
inline constexpr uint32_t kMaxSeriesLength = 32767;

// Checks Tmin >= 1, Tmin <= Tmax, L >= 1, L <= Tmax, L <= N <= kMaxSeriesLength. Otherwise shows
// "Несовместимые входные параметры!" with the values, titled `title`, and returns false.
bool checkSeriesParameters(platform::Window& window, const char* title, uint16_t L, uint16_t Tmin,
                           uint16_t Tmax, uint32_t N);

// Writes `subset` (subsetSize entries, of which the first `stored` are held) into the etalon
// sequence of K pulses in the given mode (1 single random, 2 single fixed, 3 multiple random,
// 4 complete, 5 shifted complete; others: nothing), from the 1-based pulse `start` (0 counts
// as 1). Entries beyond `stored` read as 0. Draws the subset streams in modes 1, 3 and 5 only.
void embedSubset(const int16_t* subset, uint16_t subsetSize, uint16_t stored, uint16_t mode,
                 uint16_t start, uint16_t K, uint16_t* sequence, RandomStreams& streams);

// Generates K pulses of the etalons in `sequence` (K entries, 1-based, rewritten in place where
// out of range) into `header`, laid out for N samples and maxPulses pulses. Refuses (message,
// header unchanged) a K outside minPulses..maxPulses and parameters checkSeriesParameters refuses.
void makeExtSeries(platform::Window& window, uint16_t M, const Alphabet& alphabet, uint16_t L,
                   uint16_t Tmin, uint16_t Tmax, uint32_t N, uint16_t K, uint16_t* sequence,
                   int16_t amplitude, uint16_t savedLevel, SeriesHeader& header,
                   RandomStreams& streams);

// observed[i] = clean[i] + gaussRandom(stream, 0, sigma), wrapped to 16 bits; wNoiseLevel = sigma.
void addNoise(platform::Window& window, int16_t sigma, int16_t amplitude, SeriesHeader& header,
              int16_t& stream);

}  // namespace series
