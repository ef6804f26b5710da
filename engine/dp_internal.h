#pragma once
// Pieces shared by the dynamic-programming procedures (not part of the engine's interface).

#include <cstdint>
#include <vector>

#include "local_fit.h"
#include "series/records.h"

namespace engine::dp {

inline constexpr int32_t kUnreached = 99999999;    // position not reached
inline constexpr int32_t kNoChain = 9999999;       // no chain; initial best
inline constexpr int32_t kNoPredecessor = 999999;  // no predecessor in the layered tables

// Signed 32-bit addition with wrap-around (the costs are 32-bit sums).
inline int32_t add32(int32_t a, int32_t b) {
    return static_cast<int32_t>(int64_t{a} + b);
}

// Etalon number (1-based) of a list entry; numbers outside the alphabet mean etalon 1.
inline uint16_t listedEtalon(const series::Alphabet& alphabet, uint16_t number) {
    return (number >= 1 && number <= alphabet.size()) ? number : uint16_t{1};
}

inline FitEtalon fitFor(const series::Alphabet& alphabet, uint16_t number, uint16_t D, uint16_t L) {
    const uint16_t e = listedEtalon(alphabet, number);
    return prepareFitEtalon(alphabet[e - 1u], e - 1, D, L);
}

// Tables of the unknown-count passes, one entry per position. `etalon` may be null.
struct UnknownTables {
    int32_t* local;
    int32_t* cumulative;
    int32_t* predecessor;
    int32_t* etalon;
    int32_t* cutBegin;
    int32_t* cutEnd;
};

// Position classes: bit 1 possible first start, bit 2 possible later start, bit 4 possible end.
enum : uint8_t { kFirst = 1, kLater = 2, kEnd = 4 };

// Initialises the tables and runs the local fits and the three predecessor passes: first-only
// positions start a chain; positions that may start or continue one take a predecessor only
// when its cumulative cost is negative; later-only positions always take the best predecessor.
// The passes run class by class, so a position that may also start a chain never sees the
// later-only positions (still unreached then).
void runUnknownPasses(const int16_t* x, uint32_t N, uint16_t L, uint16_t Tmin, uint16_t Tmax,
                      const std::vector<uint8_t>& classes, const std::vector<FitEtalon>& candidates,
                      const UnknownTables& t);

// Positions of the chain ending at `end`, ascending, found by following predecessors until a
// negative one. A predecessor that does not lie before its pulse (an unreached position) also
// ends the chain, so the walk never leaves the tables.
void chainEndingAt(const int32_t* predecessor, int32_t end, std::vector<int32_t>& chain);

}  // namespace engine::dp
