#include "local_fit.h"

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <vector>

namespace engine {

// The fit works on signed 32-bit sums that wrap around, as the cost is defined. For an etalon
// whose sums can never leave the 32-bit range (exact32: Σ |s|·(|s| + 2·32768) fits), every cost
// is an exact difference of prefix sums P[j] = Σ_{i<j} s[i]·(s[i] - 2·x[m+i]):
// cost(b, e) = P[e+1] - P[b]. The admissible cuts then have a simple shape: the admissible
// begins are a prefix 0 .. admissibleBegins-1 (E - PE[b] falls with b), and for one begin the
// admissible ends are a suffix e >= firstAdmissibleEnd[b] (PE[e+1] grows with e). So the best cut
// for a begin is the leftmost minimum of P over a suffix, and one backward sweep finds all of them:
// O(length) per position instead of O(length³). Other etalons are fitted cut by cut.

namespace {

int32_t wrap32(int64_t v) {
    return static_cast<int32_t>(v);
}

// Best cost of one candidate and where it is reached: the whole etalon, replaced only by a
// strictly smaller cut, cuts taken in order b ascending, e ascending.
struct CandidateFit {
    int32_t cost;
    int16_t cutBegin;
    int16_t cutEnd;
};

CandidateFit literalFit(const int16_t* x, uint32_t m, const FitEtalon& f) {
    const int32_t L = f.length;
    const int16_t* s = f.samples;
    auto cost = [&](int32_t b, int32_t e) {
        int64_t sum = 0;
        for (int32_t i = b; i <= e; ++i)
            sum += int64_t{s[i]} * (int64_t{s[i]} - 2 * int64_t{x[m + i]});
        return wrap32(sum);
    };
    const int32_t E = f.partialEnergy[L];
    const int32_t T = f.threshold;
    CandidateFit best{cost(0, L - 1), 0, static_cast<int16_t>(L - 1)};
    for (int32_t b = 0; b < L; ++b) {
        if (!(T < wrap32(int64_t{E} - f.partialEnergy[b])))
            continue;
        for (int32_t e = b; e < L; ++e) {
            if (!(T < wrap32(int64_t{f.partialEnergy[e + 1]} - f.partialEnergy[b])))
                continue;
            const int32_t c = cost(b, e);
            if (c < best.cost)
                best = {c, static_cast<int16_t>(b), static_cast<int16_t>(e)};
        }
    }
    return best;
}

CandidateFit fastFit(const int16_t* x, uint32_t m, const FitEtalon& f, int32_t* P) {
    const int32_t L = f.length;
    const int16_t* s = f.samples;
    const int32_t* sq = f.squares.data();
    const int16_t* xm = x + m;
    const int32_t nb = f.admissibleBegins;
    if (nb == 0) {
        int32_t sum = 0;
        for (int32_t i = 0; i < L; ++i)
            sum += sq[i] - 2 * int32_t{s[i]} * xm[i];
        return {sum, 0, static_cast<int16_t>(L - 1)};
    }
    P[0] = 0;
    for (int32_t i = 0; i < L; ++i)
        P[i + 1] = P[i] + sq[i] - 2 * int32_t{s[i]} * xm[i];
    const int32_t whole = P[L];

    // Begins descending; a cut replaces on <= so that among equal costs the smallest begin wins,
    // and the suffix minimum is updated on <= going left so that the leftmost end wins.
    int32_t j = L, suffixMin = P[L], suffixAt = L;
    int32_t bestCut = 0, bestB = -1, bestJ = L;
    for (int32_t b = nb - 1; b >= 0; --b) {
        const int32_t lo = f.firstAdmissibleEnd[b] + 1;
        while (j > lo) {
            --j;
            if (P[j] <= suffixMin)
                suffixMin = P[j], suffixAt = j;
        }
        const int32_t v = suffixMin - P[b];
        if (bestB < 0 || v <= bestCut)
            bestCut = v, bestB = b, bestJ = suffixAt;
    }
    if (bestCut < whole)
        return {bestCut, static_cast<int16_t>(bestB), static_cast<int16_t>(bestJ - 1)};
    return {whole, 0, static_cast<int16_t>(L - 1)};
}

// The fast fit of one candidate at the starts xb[0 .. B-1], position-parallel: P holds the
// prefix sums row by row (row j at P + j * stride), and every step below is the step of fastFit
// done for all starts at once, so the results are the same.
struct BlockFits {
    std::vector<int32_t> cost, cutBegin, cutEnd;  // per start of the block
    std::vector<int32_t> suffixMin, suffixAt, cutCost, cutB, cutJ;
    explicit BlockFits(size_t n)
        : cost(n),
          cutBegin(n),
          cutEnd(n),
          suffixMin(n),
          suffixAt(n),
          cutCost(n),
          cutB(n),
          cutJ(n) {}
};

// Element-wise steps over the starts of a block; kept as plain loops over unaliased arrays so
// that they run on vector registers. select(m, a, b) is a where m is all ones, else b.
inline int32_t maskOf(bool c) {
    return -static_cast<int32_t>(c);
}
inline int32_t select(int32_t m, int32_t a, int32_t b) {
    return (a & m) | (b & ~m);
}

// The steps are also built for AVX2 and the wider variant is picked at load time where the
// processor has it; integer arithmetic gives the same results either way.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
#define ARDENTIX_WIDE_STEPS __attribute__((target_clones("avx2", "default")))
#else
#define ARDENTIX_WIDE_STEPS
#endif

ARDENTIX_WIDE_STEPS void prefixStep(const int32_t* __restrict prev, const int16_t* __restrict xj,
                                    int32_t sq, int32_t s2, int32_t* __restrict next, uint32_t B) {
    for (uint32_t t = 0; t < B; ++t)
        next[t] = prev[t] + sq - s2 * xj[t];
}

// Leftmost minimum of P[j..L] going left: take P[j] when not greater.
ARDENTIX_WIDE_STEPS void suffixStep(const int32_t* __restrict Pj, int32_t j, int32_t* __restrict sm,
                                    int32_t* __restrict sa, uint32_t B) {
    for (uint32_t t = 0; t < B; ++t) {
        const int32_t m = maskOf(Pj[t] <= sm[t]);
        sm[t] = select(m, Pj[t], sm[t]);
        sa[t] = select(m, j, sa[t]);
    }
}

// Begins descending: a cut replaces on <=, so the smallest begin wins among equal costs.
ARDENTIX_WIDE_STEPS void cutStep(const int32_t* __restrict sm, const int32_t* __restrict sa,
                                 const int32_t* __restrict Pb, int32_t b, bool first,
                                 int32_t* __restrict cc, int32_t* __restrict cb,
                                 int32_t* __restrict cj, uint32_t B) {
    for (uint32_t t = 0; t < B; ++t) {
        const int32_t v = sm[t] - Pb[t];
        const int32_t m = first ? -1 : maskOf(v <= cc[t]);
        cc[t] = select(m, v, cc[t]);
        cb[t] = select(m, b, cb[t]);
        cj[t] = select(m, sa[t], cj[t]);
    }
}

// Later candidates replace only on a strictly smaller cost.
ARDENTIX_WIDE_STEPS void mergeStep(const int32_t* __restrict cost, const int32_t* __restrict begin,
                                   const int32_t* __restrict end, int32_t c,
                                   int32_t* __restrict bestCost, int32_t* __restrict bestCand,
                                   int32_t* __restrict bestB, int32_t* __restrict bestE,
                                   uint32_t B) {
    for (uint32_t t = 0; t < B; ++t) {
        const int32_t m = c == 0 ? -1 : maskOf(cost[t] < bestCost[t]);
        bestCost[t] = select(m, cost[t], bestCost[t]);
        bestCand[t] = select(m, c, bestCand[t]);
        bestB[t] = select(m, begin[t], bestB[t]);
        bestE[t] = select(m, end[t], bestE[t]);
    }
}

// The candidate's best (the cut when strictly below the whole etalon) merged into the best
// arrays: a later candidate replaces only on a strictly smaller cost.
ARDENTIX_WIDE_STEPS void finishMergeStep(const int32_t* __restrict whole,
                                         const int32_t* __restrict cc, const int32_t* __restrict cb,
                                         const int32_t* __restrict cj, int32_t L, int32_t c,
                                         int32_t* __restrict bestCost, int32_t* __restrict bestCand,
                                         int32_t* __restrict bestB, int32_t* __restrict bestE,
                                         uint32_t B) {
    const int32_t all = c == 0 ? -1 : 0;
    for (uint32_t t = 0; t < B; ++t) {
        const int32_t m = maskOf(cc[t] < whole[t]);
        const int32_t cost = select(m, cc[t], whole[t]);
        const int32_t take = all | maskOf(cost < bestCost[t]);
        bestCost[t] = select(take, cost, bestCost[t]);
        bestCand[t] = select(take, c, bestCand[t]);
        bestB[t] = select(take, select(m, cb[t], 0), bestB[t]);
        bestE[t] = select(take, select(m, cj[t] - 1, L - 1), bestE[t]);
    }
}

// The same without admissible cuts: the whole etalon.
ARDENTIX_WIDE_STEPS void wholeMergeStep(const int32_t* __restrict whole, int32_t L, int32_t c,
                                        int32_t* __restrict bestCost, int32_t* __restrict bestCand,
                                        int32_t* __restrict bestB, int32_t* __restrict bestE,
                                        uint32_t B) {
    const int32_t all = c == 0 ? -1 : 0;
    for (uint32_t t = 0; t < B; ++t) {
        const int32_t take = all | maskOf(whole[t] < bestCost[t]);
        bestCost[t] = select(take, whole[t], bestCost[t]);
        bestCand[t] = select(take, c, bestCand[t]);
        bestB[t] = select(take, 0, bestB[t]);
        bestE[t] = select(take, L - 1, bestE[t]);
    }
}

// Fits candidate c at the starts of the block and merges it into the best arrays.
void fastFitsOfBlock(const int16_t* xb, uint32_t B, const FitEtalon& f, int32_t c, int32_t* P,
                     uint32_t stride, BlockFits& o, int32_t* bestCost, int32_t* bestCand,
                     int32_t* bestB, int32_t* bestE) {
    const int32_t L = f.length;
    std::fill(P, P + B, 0);
    for (int32_t j = 0; j < L; ++j)
        prefixStep(P + size_t(j) * stride, xb + j, f.squares[j], 2 * int32_t{f.samples[j]},
                   P + size_t(j + 1) * stride, B);
    const int32_t* whole = P + size_t(L) * stride;
    const int32_t nb = f.admissibleBegins;
    if (nb == 0) {
        wholeMergeStep(whole, L, c, bestCost, bestCand, bestB, bestE, B);
        return;
    }
    int32_t* sm = o.suffixMin.data();
    int32_t* sa = o.suffixAt.data();
    std::copy(whole, whole + B, sm);
    std::fill(sa, sa + B, L);
    int32_t j = L;
    for (int32_t b = nb - 1; b >= 0; --b) {
        const int32_t lo = f.firstAdmissibleEnd[b] + 1;
        while (j > lo) {
            --j;
            suffixStep(P + size_t(j) * stride, j, sm, sa, B);
        }
        cutStep(sm, sa, P + size_t(b) * stride, b, b == nb - 1, o.cutCost.data(), o.cutB.data(),
                o.cutJ.data(), B);
    }
    finishMergeStep(whole, o.cutCost.data(), o.cutB.data(), o.cutJ.data(), L, c, bestCost, bestCand,
                    bestB, bestE, B);
}

}  // namespace

FitEtalon prepareFitEtalon(const series::PulseHeader& etalon, int32_t etalonIndex, uint16_t D,
                           uint16_t length) {
    FitEtalon f;
    f.samples = etalon.lpData.get();
    f.length = (length == 0 || length > etalon.wSize) ? etalon.wSize : length;
    f.etalonIndex = etalonIndex;
    const int32_t L = f.length;
    f.partialEnergy.assign(L + 1, 0);
    f.squares.assign(L, 0);
    int64_t bound = 0;
    for (int32_t i = 0; i < L; ++i) {
        const int32_t v = f.samples[i];
        f.squares[i] = v * v;
        f.partialEnergy[i + 1] = wrap32(int64_t{f.partialEnergy[i]} + f.squares[i]);
        bound += int64_t{std::abs(v)} * (std::abs(v) + 2 * 32768);
    }
    const int32_t E = f.partialEnergy[L];
    f.threshold = wrap32(int64_t{D} * E) / 100;
    f.exact32 = bound <= std::numeric_limits<int32_t>::max();

    f.firstAdmissibleEnd.assign(L, static_cast<int16_t>(L));
    f.admissibleBegins = 0;
    bool prefix = true;
    int32_t e = 0;
    for (int32_t b = 0; b < L; ++b) {
        // Without wrap-around the first admissible end never moves left as b grows.
        if (e < b)
            e = b;
        while (e < L && !(f.threshold < f.partialEnergy[e + 1] - f.partialEnergy[b]))
            ++e;
        if (!f.exact32)
            break;
        f.firstAdmissibleEnd[b] = static_cast<int16_t>(e);
        if (e < L && prefix)
            ++f.admissibleBegins;
        else
            prefix = false;
    }
    return f;
}

LocalFit bestLocalFit(const int16_t* x, uint32_t m, std::span<const FitEtalon> candidates) {
    LocalFit best{0, -1, 0, 0};
    constexpr int32_t kStackLength = 512;
    int32_t stackPrefix[kStackLength + 1];
    std::vector<int32_t> heapPrefix;
    for (size_t c = 0; c < candidates.size(); ++c) {
        const FitEtalon& f = candidates[c];
        int32_t* P = stackPrefix;
        if (f.exact32 && f.length > kStackLength) {
            heapPrefix.resize(f.length + 1u);
            P = heapPrefix.data();
        }
        const CandidateFit fit = f.exact32 ? fastFit(x, m, f, P) : literalFit(x, m, f);
        if (c == 0 || fit.cost < best.cost)
            best = {fit.cost, static_cast<int32_t>(c), fit.cutBegin, fit.cutEnd};
    }
    return best;
}

}  // namespace engine

namespace engine {

void bestLocalFits(const int16_t* x, uint32_t first, uint32_t count,
                   std::span<const FitEtalon> candidates, LocalFit* out) {
    if (candidates.empty()) {
        std::fill(out, out + count, LocalFit{0, -1, 0, 0});
        return;
    }
    constexpr uint32_t kBlock = 256;
    size_t rows = 1;
    for (const FitEtalon& f : candidates)
        rows = std::max<size_t>(rows, f.length + 1u);
    std::vector<int32_t> P(rows * kBlock);
    BlockFits cand(kBlock);
    std::vector<int32_t> bestCost(kBlock), bestCand(kBlock), bestB(kBlock), bestE(kBlock);
    for (uint32_t m0 = 0; m0 < count; m0 += kBlock) {
        const uint32_t B = std::min(kBlock, count - m0);
        for (size_t c = 0; c < candidates.size(); ++c) {
            const FitEtalon& f = candidates[c];
            const auto ci = static_cast<int32_t>(c);
            if (f.exact32) {
                fastFitsOfBlock(x + first + m0, B, f, ci, P.data(), kBlock, cand, bestCost.data(),
                                bestCand.data(), bestB.data(), bestE.data());
                continue;
            }
            for (uint32_t t = 0; t < B; ++t) {
                const CandidateFit one = literalFit(x, first + m0 + t, f);
                cand.cost[t] = one.cost;
                cand.cutBegin[t] = one.cutBegin;
                cand.cutEnd[t] = one.cutEnd;
            }
            mergeStep(cand.cost.data(), cand.cutBegin.data(), cand.cutEnd.data(), ci,
                      bestCost.data(), bestCand.data(), bestB.data(), bestE.data(), B);
        }
        for (uint32_t t = 0; t < B; ++t)
            out[m0 + t] = {bestCost[t], bestCand[t], static_cast<int16_t>(bestB[t]),
                           static_cast<int16_t>(bestE[t])};
    }
}

}  // namespace engine
