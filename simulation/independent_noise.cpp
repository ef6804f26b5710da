#include "independent_noise.h"

#include <cmath>

namespace simulation {

namespace {

inline uint64_t rotl(uint64_t x, int k) {
    return (x << k) | (x >> (64 - k));
}

// The splitmix64 output function, used to hash the cycle index.
inline uint64_t mix64(uint64_t z) {
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

constexpr double kTwoPi = 6.283185307179586476925286766559;

}  // namespace

uint64_t splitmix64(uint64_t& state) {
    state += 0x9E3779B97F4A7C15ull;
    return mix64(state);
}

Xoshiro256pp::Xoshiro256pp(uint64_t seed) {
    uint64_t sm = seed;
    for (uint64_t& word : s_)
        word = splitmix64(sm);
}

Xoshiro256pp Xoshiro256pp::forCycle(uint64_t seed, uint64_t index) {
    return Xoshiro256pp(seed ^ mix64(index + 0x632BE59BD9B4E019ull));
}

Xoshiro256pp Xoshiro256pp::fromState(uint64_t s0, uint64_t s1, uint64_t s2, uint64_t s3) {
    Xoshiro256pp g(0);
    g.s_[0] = s0;
    g.s_[1] = s1;
    g.s_[2] = s2;
    g.s_[3] = s3;
    return g;
}

uint64_t Xoshiro256pp::next() {
    const uint64_t result = rotl(s_[0] + s_[3], 23) + s_[0];
    const uint64_t t = s_[1] << 17;
    s_[2] ^= s_[0];
    s_[3] ^= s_[1];
    s_[1] ^= s_[2];
    s_[0] ^= s_[3];
    s_[2] ^= t;
    s_[3] = rotl(s_[3], 45);
    return result;
}

double Xoshiro256pp::uniformOpen() {
    return (static_cast<double>(next() >> 11) + 1.0) * 0x1.0p-53;
}

double Xoshiro256pp::gaussian() {
    if (hasSpare_) {
        hasSpare_ = false;
        return spare_;
    }
    const double u1 = uniformOpen();
    const double u2 = uniformOpen();
    const double radius = std::sqrt(-2.0 * std::log(u1));
    const double angle = kTwoPi * u2;
    spare_ = radius * std::sin(angle);
    hasSpare_ = true;
    return radius * std::cos(angle);
}

void addIndependentNoise(series::SeriesHeader& h, int16_t sigma, uint64_t seed,
                         uint64_t cycleIndex) {
    Xoshiro256pp generator = Xoshiro256pp::forCycle(seed, cycleIndex);
    for (uint32_t i = 0; i < h.dwSeriesSize; ++i) {
        const int64_t deviate = std::llround(static_cast<double>(sigma) * generator.gaussian());
        const int64_t v = int64_t{h.lpPureData[i]} + deviate;
        h.lpNoisyData[i] = static_cast<int16_t>(static_cast<uint16_t>(static_cast<uint64_t>(v)));
    }
    h.wNoiseLevel = sigma;
}

}  // namespace simulation
