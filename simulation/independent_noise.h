#pragma once
// Statistically independent Gaussian noise for simulations: xoshiro256++ (Blackman and Vigna)
// seeded through splitmix64, one substream per cycle derived from a seed and the cycle index,
// and Box-Muller deviates rounded to integers. The 15-bit noise stream holds only 8,192 distinct
// twelve-draw samples in one fixed cyclic order, so long runs repeat their noise; this one does
// not.

#include <cstdint>

#include "series/records.h"

namespace simulation {

class Xoshiro256pp {
  public:
    // The state is four outputs of splitmix64 started from `seed`.
    explicit Xoshiro256pp(uint64_t seed);
    // The substream of cycle `index` under `seed`.
    static Xoshiro256pp forCycle(uint64_t seed, uint64_t index);
    // A generator in the given state (not all zero).
    static Xoshiro256pp fromState(uint64_t s0, uint64_t s1, uint64_t s2, uint64_t s3);
    uint64_t next();
    // Uniform in (0, 1], 53 bits.
    double uniformOpen();
    // Standard normal deviate (Box-Muller; the second value of each pair is kept for the next
    // call).
    double gaussian();

  private:
    uint64_t s_[4];
    bool hasSpare_ = false;
    double spare_ = 0.0;
};

uint64_t splitmix64(uint64_t& state);

// observed[i] = clean[i] + round(sigma * z_i), wrapped to 16 bits as the noise stream's noise is;
// wNoiseLevel = sigma. The deviates come from the substream of (seed, cycleIndex).
void addIndependentNoise(series::SeriesHeader& header, int16_t sigma, uint64_t seed,
                         uint64_t cycleIndex);

}  // namespace simulation
