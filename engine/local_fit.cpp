#include "local_fit.h"

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
