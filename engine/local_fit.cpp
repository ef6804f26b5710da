#include "local_fit.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <vector>

namespace engine {

// The fit's costs are signed 32-bit sums that wrap around, as they are defined. With the prefix
// sums P[j] = Σ_{i<j} s[i]·(s[i] - 2·x[m+i]) taken modulo 2³², every cost is
// cost(b, e) = P[e+1] - P[b] modulo 2³² (wrapping commutes with addition), so one pass over the
// samples gives every cost in O(1).
//
// Where no sum of a start can leave the 32-bit range, the costs also keep their order, and the
// admissible cuts have a simple shape (for an etalon whose energy fits 32 bits): the admissible
// begins are a prefix 0 .. admissibleBegins-1 (E - PE[b] falls with b), and for one begin the
// admissible ends are a suffix e >= firstAdmissibleEnd[b] (PE[e+1] grows with e). So the best cut
// for a begin is the leftmost minimum of P over a suffix, and one backward sweep finds all of them:
// O(length) per start instead of O(length³). The sums of a start stay exact when its samples are
// at most exactMagnitude in size, which the position-parallel fit checks once per group of starts;
// a start outside that bound has its prefix sums checked one by one, and only where a cost really
// wraps (or the etalon's energy does) are the wrapped costs compared cut by cut.

namespace {

int32_t wrap32(int64_t v) {
    return static_cast<int32_t>(v);
}

int32_t wrapSub(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}

// Best cost of one candidate and where it is reached: the whole etalon, replaced only by a
// strictly smaller cut, cuts taken in order b ascending, e ascending.
struct CandidateFit {
    int32_t cost;
    int16_t cutBegin;
    int16_t cutEnd;
};

// The backward sweep over exact prefix sums P[0 .. L] of an etalon with exact energies.
CandidateFit sweepFit(const int32_t* P, const FitEtalon& f) {
    const int32_t L = f.length;
    const int32_t nb = f.admissibleBegins;
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
    if (bestB >= 0 && bestCut < whole)
        return {bestCut, static_cast<int16_t>(bestB), static_cast<int16_t>(bestJ - 1)};
    return {whole, 0, static_cast<int16_t>(L - 1)};
}

// The wrapped costs compared cut by cut, in the defined order, from wrapped prefix sums.
CandidateFit wrappedFit(const int32_t* P, const FitEtalon& f) {
    const int32_t L = f.length;
    CandidateFit best{wrapSub(P[L], P[0]), 0, static_cast<int16_t>(L - 1)};
    auto consider = [&](int32_t b, int32_t e) {
        const int32_t c = wrapSub(P[e + 1], P[b]);
        if (c < best.cost)
            best = {c, static_cast<int16_t>(b), static_cast<int16_t>(e)};
    };
    if (f.exactEnergies) {
        for (int32_t b = 0; b < f.admissibleBegins; ++b)
            for (int32_t e = f.firstAdmissibleEnd[b]; e < L; ++e)
                consider(b, e);
        return best;
    }
    const int32_t* PE = f.partialEnergy.data();
    const int32_t E = PE[L], T = f.threshold;
    for (int32_t b = 0; b < L; ++b) {
        if (!(T < wrapSub(E, PE[b])))
            continue;
        for (int32_t e = b; e < L; ++e)
            if (T < wrapSub(PE[e + 1], PE[b]))
                consider(b, e);
    }
    return best;
}

// The fit of one candidate at the start whose samples begin at xm. P receives L + 1 prefix sums.
CandidateFit fitAt(const int16_t* xm, const FitEtalon& f, int32_t* P) {
    const int32_t L = f.length;
    const int16_t* s = f.samples;
    int64_t q = 0, low = 0, high = 0;
    P[0] = 0;
    for (int32_t i = 0; i < L; ++i) {
        q += int64_t{s[i]} * (int64_t{s[i]} - 2 * int64_t{xm[i]});
        low = std::min(low, q);
        high = std::max(high, q);
        P[i + 1] = wrap32(q);
    }
    // Every P[j] and every difference of two lies within high - low of 0.
    if (f.exactEnergies && high - low <= std::numeric_limits<int32_t>::max())
        return sweepFit(P, f);
    return wrappedFit(P, f);
}

// The largest sample magnitude among n samples.
int32_t magnitudeOf(const int32_t* x, size_t n) {
    int32_t most = 0;
    for (size_t i = 0; i < n; ++i)
        most = std::max(most, x[i] < 0 ? -x[i] : x[i]);
    return most;
}

// The position-parallel fit: kLanes consecutive starts side by side, one per lane of a vector of
// 32-bit integers. Every step is the step of sweepFit done for all lanes at once, with the running
// values kept in registers, so the results are the same.
constexpr uint32_t kLanes = 8;
typedef int32_t Lanes __attribute__((vector_size(4 * kLanes)));

// fitGroup is also built for AVX2 and the wider variant is picked at load time where the
// processor has it; integer arithmetic gives the same results either way.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
#define ARDENTIX_WIDE_STEPS __attribute__((target_clones("avx2", "default")))
#else
#define ARDENTIX_WIDE_STEPS
#endif

// Lane helpers, inlined into each built variant below. pick(m, a, b) is a where m is all ones.
// Being always inlined they have no calling convention, so the compiler's note on passing wide
// vectors without AVX (given at the end of the file) does not apply to them.
#pragma GCC diagnostic ignored "-Wpsabi"
#define ARDENTIX_LANE_HELPER [[gnu::always_inline]] inline
ARDENTIX_LANE_HELPER Lanes loadLanes(const int32_t* p) {
    Lanes v;
    std::memcpy(&v, p, sizeof v);
    return v;
}
ARDENTIX_LANE_HELPER void storeLanes(int32_t* p, Lanes v) {
    std::memcpy(p, &v, sizeof v);
}
ARDENTIX_LANE_HELPER Lanes splat(int32_t v) {
    Lanes r;
    for (uint32_t t = 0; t < kLanes; ++t)
        r[t] = v;
    return r;
}
ARDENTIX_LANE_HELPER Lanes pick(Lanes m, Lanes a, Lanes b) {
    return (a & m) | (b & ~m);
}
ARDENTIX_LANE_HELPER Lanes lanesMin(Lanes a, Lanes b) {
    return a < b ? a : b;
}

// kVectors vectors of starts are fitted side by side, sharing the loop steps and broadcasts.
constexpr int kVectors = 2;
constexpr uint32_t kGroup = kVectors * kLanes;  // starts per group
using Group = Lanes[kVectors];

ARDENTIX_LANE_HELPER int32_t* row(int32_t* P, int32_t j, int g) {
    return P + (size_t(j) * kVectors + g) * kLanes;
}

struct LaneFits {
    Group cost, begin, end;
};

// sweepFit at the starts xg[0 .. kGroup-1] (samples widened to 32 bits, none above the etalon's
// exactMagnitude).
// P receives the prefix sums of the rows the sweep reads: the begins 0 .. nb-1 and the ends
// firstAdmissibleEnd[0] + 1 .. L; the rows between are only summed. The sums run without the
// squares, which are added as partial energies when a row is stored (all exact, see above).
ARDENTIX_LANE_HELPER void fitLanes(const int32_t* xg, const FitEtalon& f, int32_t* P,
                                   LaneFits& out) {
    const int32_t L = f.length;
    const int32_t nb = f.admissibleBegins;
    const int32_t* twice = f.twiceSamples.data();
    const int32_t* PE = f.partialEnergy.data();
    const int16_t* firstEnd = f.firstAdmissibleEnd.data();
    Group p = {};
    auto sum = [&](int32_t j) {
        for (int g = 0; g < kVectors; ++g)
            p[g] -= twice[j] * loadLanes(xg + g * kLanes + j);
    };
    auto store = [&](int32_t j) {
        for (int g = 0; g < kVectors; ++g)
            storeLanes(row(P, j, g), p[g] + PE[j]);
    };
    store(0);
    const int32_t endsFrom = nb > 0 ? firstEnd[0] + 1 : L;
    int32_t j = 0;
    for (; j + 1 < nb; ++j)
        sum(j), store(j + 1);
    for (; j + 1 < endsFrom; ++j)
        sum(j);
    for (; j < L; ++j)
        sum(j), store(j + 1);
    Group whole;
    for (int g = 0; g < kVectors; ++g)
        whole[g] = p[g] + PE[L];
    if (nb == 0) {
        for (int g = 0; g < kVectors; ++g)
            out.cost[g] = whole[g], out.begin[g] = splat(0), out.end[g] = splat(L - 1);
        return;
    }
    // Begins descending; a cut replaces on <= (the first one always: nothing exceeds INT32_MAX),
    // and the suffix minimum is taken on <= going left, as in sweepFit. The running minima are
    // plain minima (a short dependency chain); a <= b is then exactly min(a, b) == a.
    Group sm, sa, cc, cb, cj;
    for (int g = 0; g < kVectors; ++g) {
        sm[g] = whole[g], sa[g] = splat(L);
        cc[g] = splat(std::numeric_limits<int32_t>::max()), cb[g] = cj[g] = splat(0);
    }
    Lanes jv = splat(L), bv = splat(nb - 1);  // j and b in every lane
    j = L;
    for (int32_t b = nb - 1; b >= 0; --b, bv -= 1) {
        for (const int32_t lo = firstEnd[b] + 1; j > lo;) {
            --j;
            jv -= 1;
            for (int g = 0; g < kVectors; ++g) {
                const Lanes pj = loadLanes(row(P, j, g));
                sm[g] = lanesMin(pj, sm[g]);
                sa[g] = pick(pj == sm[g], jv, sa[g]);
            }
        }
        for (int g = 0; g < kVectors; ++g) {
            const Lanes v = sm[g] - loadLanes(row(P, b, g));
            cc[g] = lanesMin(v, cc[g]);
            const Lanes m = v == cc[g];
            cb[g] = pick(m, bv, cb[g]);
            cj[g] = pick(m, sa[g], cj[g]);
        }
    }
    for (int g = 0; g < kVectors; ++g) {
        const Lanes m = cc[g] < whole[g];
        out.cost[g] = pick(m, cc[g], whole[g]);
        out.begin[g] = pick(m, cb[g], splat(0));
        out.end[g] = pick(m, cj[g] - 1, splat(L - 1));
    }
}

// The best fit at the starts xg[0 .. kGroup-1] (out[t] for t < n), candidates in order, a later one
// replacing only on a strictly smaller cost. xg must hold kGroup + L - 1 samples of every
// candidate, xw the same samples widened to 32 bits, and `magnitude` bound their magnitudes.
// A candidate whose sums could leave 32 bits at these samples is fitted start by start.
ARDENTIX_WIDE_STEPS void fitGroup(const int16_t* xg, const int32_t* xw, uint32_t n,
                                  int32_t magnitude, std::span<const FitEtalon> candidates,
                                  int32_t* P, LocalFit* out) {
    Group bestCost = {}, bestCand = {}, bestB = {}, bestE = {};
    for (size_t c = 0; c < candidates.size(); ++c) {
        const FitEtalon& f = candidates[c];
        LaneFits fit;
        if (magnitude <= f.exactMagnitude) {
            fitLanes(xw, f, P, fit);
        } else {
            int32_t cost[kGroup] = {}, begin[kGroup] = {}, end[kGroup] = {};
            for (uint32_t t = 0; t < n; ++t) {
                const CandidateFit one = fitAt(xg + t, f, P);
                cost[t] = one.cost, begin[t] = one.cutBegin, end[t] = one.cutEnd;
            }
            for (int g = 0; g < kVectors; ++g) {
                fit.cost[g] = loadLanes(cost + g * kLanes);
                fit.begin[g] = loadLanes(begin + g * kLanes);
                fit.end[g] = loadLanes(end + g * kLanes);
            }
        }
        const Lanes first = splat(c == 0 ? -1 : 0), cv = splat(static_cast<int32_t>(c));
        for (int g = 0; g < kVectors; ++g) {
            const Lanes take = first | (fit.cost[g] < bestCost[g]);
            bestCost[g] = pick(take, fit.cost[g], bestCost[g]);
            bestCand[g] = pick(take, cv, bestCand[g]);
            bestB[g] = pick(take, fit.begin[g], bestB[g]);
            bestE[g] = pick(take, fit.end[g], bestE[g]);
        }
    }
    int32_t cost[kGroup], cand[kGroup], begin[kGroup], end[kGroup];
    for (int g = 0; g < kVectors; ++g) {
        storeLanes(cost + g * kLanes, bestCost[g]);
        storeLanes(cand + g * kLanes, bestCand[g]);
        storeLanes(begin + g * kLanes, bestB[g]);
        storeLanes(end + g * kLanes, bestE[g]);
    }
    for (uint32_t t = 0; t < n; ++t)
        out[t] = {cost[t], cand[t], static_cast<int16_t>(begin[t]), static_cast<int16_t>(end[t])};
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
    f.twiceSamples.assign(L, 0);
    int64_t energy = 0, magnitudes = 0;
    for (int32_t i = 0; i < L; ++i) {
        const int32_t v = f.samples[i];
        f.twiceSamples[i] = 2 * v;
        energy += int64_t{v} * v;
        magnitudes += std::abs(v);
        f.partialEnergy[i + 1] = wrap32(energy);
    }
    constexpr int64_t kMax32 = std::numeric_limits<int32_t>::max();
    const int32_t E = f.partialEnergy[L];
    // D percent of a 32-bit energy is a 32-bit value; only the product needs the wider type.
    f.threshold = wrap32(int64_t{D} * E / 100);
    f.exactEnergies = energy <= kMax32;
    if (!f.exactEnergies)
        f.exactMagnitude = -1;
    else if (magnitudes == 0)
        f.exactMagnitude = 32768;
    else
        f.exactMagnitude =
            static_cast<int32_t>(std::min<int64_t>((kMax32 - energy) / (2 * magnitudes), 32768));

    f.firstAdmissibleEnd.assign(L, static_cast<int16_t>(L));
    f.admissibleBegins = 0;
    if (!f.exactEnergies)
        return f;  // the cuts have no shape to use; they are tested one by one
    bool prefix = true;
    int32_t e = 0;
    for (int32_t b = 0; b < L; ++b) {
        // Without wrap-around the first admissible end never moves left as b grows.
        if (e < b)
            e = b;
        while (e < L && !(f.threshold < f.partialEnergy[e + 1] - f.partialEnergy[b]))
            ++e;
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
        if (f.length > kStackLength) {
            heapPrefix.resize(f.length + 1u);
            P = heapPrefix.data();
        }
        const CandidateFit fit = fitAt(x + m, f, P);
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
    size_t length = 1;
    for (const FitEtalon& f : candidates)
        length = std::max<size_t>(length, f.length);
    std::vector<int32_t> P((length + 1) * kGroup);
    // The samples of every start widened once, zeros after them for the unused lanes of the last
    // group (whose 16-bit samples are copied the same way).
    const int16_t* xs = x + first;
    const size_t samples = count + length - 1;
    std::vector<int32_t> xw(samples + kGroup, 0);
    std::copy(xs, xs + samples, xw.begin());
    const size_t window = kGroup + length - 1;  // samples one group reads
    uint32_t t = 0;
    for (; t + kGroup <= count; t += kGroup)
        fitGroup(xs + t, xw.data() + t, kGroup, magnitudeOf(xw.data() + t, window), candidates,
                 P.data(), out + t);
    if (t == count)
        return;
    std::vector<int16_t> tail(length - 1 + kGroup, 0);
    std::copy(xs + t, xs + samples, tail.begin());
    fitGroup(tail.data(), xw.data() + t, count - t, magnitudeOf(xw.data() + t, window), candidates,
             P.data(), out + t);
}

}  // namespace engine
