#pragma once
// The numbers the series view prints: the energies of the series and its noise, the measure of
// the true placement and the restoration error. Sums are 32-bit and wrap like the records'
// energies; every term is formed in 64 bits, so no step overflows.

#include <cstdint>

#include "engine/chains.h"
#include "series/records.h"

namespace render {

struct SeriesEnergies {
    int32_t signal = 0;      // sum of pure[i]^2 over the series
    int32_t noise = 0;       // sum of (noisy[i] - pure[i])^2 over the series
    int32_t pulseNoise = 0;  // the same over the L samples from each true pulse's start
    double allNS = 0;        // noise / signal, 0 when signal is not positive
    double NS = 0;           // pulseNoise / signal, 0 when signal is not positive
};
SeriesEnergies seriesEnergies(const series::SeriesHeader& series);

// restorationError with an absent chains record restoring nothing (the sum of pure[i]^2).
int32_t restorationErrorOf(const engine::ChainsHeader* chains, const series::SeriesHeader& series);

}  // namespace render
