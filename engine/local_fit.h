#pragma once
// The local least-squares fit of one pulse at one position: the best whole or admissibly cut
// copy of a candidate etalon, cost(m, s, b, e) = Σ_{i=b..e} s[i] * (s[i] - 2 * x[m + i]).

#include <cstdint>
#include <span>
#include <vector>

#include "series/records.h"

namespace engine {

// An etalon prepared for the local fit at detection level D: partial energies
// PE[j] = s[0]² + ... + s[j-1]², threshold T = (D * E) / 100 and the admissibility bounds.
// A cut b..e is admissible when T < E - PE[b] and T < PE[e+1] - PE[b].
struct FitEtalon {
    const int16_t* samples = nullptr;
    uint16_t length = 0;
    int32_t etalonIndex = 0;            // 0-based alphabet index
    std::vector<int32_t> partialEnergy;  // length + 1 values
    int32_t threshold = 0;
    // Filled by prepareFitEtalon for the fast scan (see local_fit.cpp).
    std::vector<int16_t> firstAdmissibleEnd;  // per b: smallest admissible e, or length if none
};

FitEtalon prepareFitEtalon(const series::PulseHeader& etalon, int32_t etalonIndex, uint16_t D);

struct LocalFit {
    int32_t cost = 0;
    int32_t candidate = 0;  // index into the candidate list
    int16_t cutBegin = 0;
    int16_t cutEnd = 0;
};

// Best fit at start m over the candidates in order. Ties keep the earlier candidate, then the
// whole etalon, then the earlier (b, e) in scanning order (b ascending, e ascending).
LocalFit bestLocalFit(const int16_t* x, uint32_t m, std::span<const FitEtalon> candidates);

}  // namespace engine
