#pragma once
// The local least-squares fit of one pulse at one position: the best whole or admissibly cut
// copy of a candidate etalon, cost(m, s, b, e) = Σ_{i=b..e} s[i] * (s[i] - 2 * x[m + i]).

#include <cstdint>
#include <span>
#include <vector>

#include "series/records.h"

namespace engine {

// An etalon prepared for the local fit at detection level D: partial energies
// PE[j] = s[0]² + ... + s[j-1]² (32-bit, wrapping), threshold T = (D * E) / 100 (the product
// formed in 64 bits) and the admissibility bounds. A cut b..e is admissible when T < E - PE[b]
// and T < PE[e+1] - PE[b].
struct FitEtalon {
    const int16_t* samples = nullptr;
    uint16_t length = 0;
    int32_t etalonIndex = 0;             // 0-based alphabet index
    std::vector<int32_t> partialEnergy;  // length + 1 values
    int32_t threshold = 0;
    // Filled by prepareFitEtalon for the fast scan (see local_fit.cpp).
    std::vector<int16_t> firstAdmissibleEnd;  // per b: smallest admissible e, or length if none
    std::vector<int32_t> twiceSamples;        // 2·s[i]
    uint16_t admissibleBegins = 0;  // admissible cut begins are exactly 0 .. admissibleBegins-1
    bool exactEnergies = false;     // E fits 32 bits: the partial energies never wrap
    // Every sum of the fit stays exact in 32 bits at a start whose samples are at most this in
    // magnitude (Σ s² + 2·X·Σ|s| fits); -1 when there is no such X.
    int32_t exactMagnitude = -1;
};

// Uses the etalon's first `length` samples (its wSize when `length` is 0 or larger).
// Precondition: lpData holds at least that many samples.
FitEtalon prepareFitEtalon(const series::PulseHeader& etalon, int32_t etalonIndex, uint16_t D,
                           uint16_t length = 0);

struct LocalFit {
    int32_t cost = 0;
    int32_t candidate = 0;  // index into the candidate list
    int16_t cutBegin = 0;
    int16_t cutEnd = 0;
};

// Best fit at start m over the candidates in order. Ties keep the earlier candidate, then the
// whole etalon, then the earlier (b, e) in scanning order (b ascending, e ascending).
// x must hold the samples m .. m + length - 1 of every candidate. Sums are signed 32-bit with
// wrap-around, as the fit defines them. No candidates: cost 0, candidate -1.
LocalFit bestLocalFit(const int16_t* x, uint32_t m, std::span<const FitEtalon> candidates);

// bestLocalFit at each of the consecutive starts first .. first + count - 1 (out[t] for
// first + t), computed position-parallel.
void bestLocalFits(const int16_t* x, uint32_t first, uint32_t count,
                   std::span<const FitEtalon> candidates, LocalFit* out);

}  // namespace engine
