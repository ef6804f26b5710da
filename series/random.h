#pragma once
// The 15-bit linear congruential streams and the Gaussian draw built on them.

#include <cstdint>

namespace series {

// Advances a stream: state = (state * 12869 + 6925) AND 32767; returns the new state.
int16_t nextRandom(int16_t& state);

// Sum S of twelve successive draws; returns mean + ((S - 196608) * sigma) >> 15 (arithmetic).
// Always advances the stream by twelve steps, also for sigma 0.
int32_t gaussRandom(int16_t& state, int16_t mean, int16_t sigma);

// The state reached from `state` after `steps` calls of nextRandom, in O(log steps).
int16_t advanceRandom(int16_t state, uint64_t steps);

// The fixed-seed streams of generation and noise, never reseeded.
struct RandomStreams {
    int16_t randomEtalons = 123;  // etalons 11 and up
    int16_t position = 12345;     // pulse starts and the first placed pulse
    int16_t cutBegin = 7737;
    int16_t cutEnd = 3373;
    int16_t pulseCount = 13579;  // pulse count of unknown-number series
    int16_t subsetOffset = 11357;
    int16_t subsetGaps = 11357;
    int16_t noise = 10597;

    bool operator==(const RandomStreams&) const = default;
};

// The runtime library's generator that draws etalon sequences: state = state * 214013 + 2531011
// (mod 2^32), value = (state >> 16) AND 0x7FFF. Starts at 1.
struct LibraryRandom {
    uint32_t state = 1;
    int next() {
        state = state * 214013u + 2531011u;
        return static_cast<int>((state >> 16) & 0x7FFFu);
    }
};

}  // namespace series
