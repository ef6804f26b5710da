#include "random.h"

namespace series {

namespace {
constexpr uint32_t kMultiplier = 12869;
constexpr uint32_t kIncrement = 6925;
constexpr uint32_t kMask = 32767;
}  // namespace

int16_t nextRandom(int16_t& state) {
    // Only the low 15 bits survive, so unsigned 32-bit arithmetic gives the 16-bit result.
    const uint32_t s = static_cast<uint16_t>(state);
    state = static_cast<int16_t>((s * kMultiplier + kIncrement) & kMask);
    return state;
}

int32_t gaussRandom(int16_t& state, int16_t mean, int16_t sigma) {
    int32_t sum = 0;
    for (int i = 0; i < 12; ++i)
        sum += nextRandom(state);
    // 64-bit product: a 32-bit one would overflow for sigma above 10922.
    const int64_t scaled = (static_cast<int64_t>(sum) - 196608) * sigma;
    return static_cast<int32_t>(mean + (scaled >> 15));
}

int16_t advanceRandom(int16_t state, uint64_t steps) {
    // Compose the affine map x -> a*x + c (mod 2^15) by repeated squaring.
    uint32_t a = kMultiplier, c = kIncrement;  // the map of 2^i steps
    uint32_t accA = 1, accC = 0;               // the map accumulated so far
    while (steps != 0) {
        if (steps & 1u) {
            accA = (accA * a) & kMask;
            accC = (accC * a + c) & kMask;
        }
        c = ((a + 1) * c) & kMask;
        a = (a * a) & kMask;
        steps >>= 1;
    }
    const uint32_t s = static_cast<uint16_t>(state);
    if (accA == 1 && accC == 0)
        return state;  // zero steps: the state is left as it is
    return static_cast<int16_t>((accA * s + accC) & kMask);
}

}  // namespace series
