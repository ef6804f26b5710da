#include "generation.h"

#include <algorithm>
#include <cstdio>
#include <new>
#include <string>

#include "platform/allocation.h"

namespace series {

namespace {

std::string format(const char* fmt, long a, long b) {
    char buffer[96];
    std::snprintf(buffer, sizeof buffer, fmt, a, b);
    return buffer;
}

int32_t drawShifted(int16_t& stream, int shift) {
    return nextRandom(stream) >> shift;
}

}  // namespace

void embedSubset(const int16_t* subset, uint16_t subsetSize, uint16_t stored, uint16_t mode,
                 uint16_t start, uint16_t K, uint16_t* sequence, RandomStreams& streams) {
    const int32_t s = subsetSize;
    if (s == 0)
        return;
    int32_t p = std::max<int32_t>(start, 1) - 1;  // start 0 counts as 1
    // Entries beyond the stored ones read as 0 (generation then uses etalon 1).
    auto entry = [&](int32_t i) -> uint16_t {
        return i < stored ? static_cast<uint16_t>(subset[i]) : 0;
    };
    auto copyFrom = [&](int32_t first) {
        for (int32_t i = first; i < s && p < K; ++i)
            sequence[p++] = entry(i);
    };
    switch (mode) {
        case 1: {
            const int32_t span = K - p - s + 1;
            if (span > 0)
                p += drawShifted(streams.subsetOffset, 1) % span;
            copyFrom(0);
            break;
        }
        case 2:
            copyFrom(0);
            break;
        case 3: {
            const int32_t span = K - p - s + 1;
            do {
                if (span > 0)
                    p += drawShifted(streams.subsetGaps, 1) % span;
                copyFrom(0);
            } while (p < K);
            break;
        }
        case 4:
            while (p < K)
                copyFrom(0);
            break;
        case 5: {
            const int32_t r = drawShifted(streams.subsetOffset, 1) % s;
            copyFrom(r);
            while (p < K)
                copyFrom(0);
            break;
        }
        default:
            break;
    }
}

namespace {

// a - b modulo 2³²: energies are 32-bit values that wrap around when an etalon's energy exceeds
// 32 bits.
int32_t wrapSub(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}

struct Placement {
    const int16_t* samples;
    uint16_t L;
    int32_t* PE;
    uint16_t savedLevel;
};

// Places pulse k with a start drawn from [a, b] (a <= b holds for feasible K).
int32_t placePulse(SeriesHeader& h, const Placement& pl, uint16_t k, int32_t lo, int32_t hi,
                   int32_t a, int32_t b, RandomStreams& streams) {
    const int L = pl.L;
    const int16_t* s = pl.samples;
    int32_t* PE = pl.PE;
    h.lpStartMin[k] = static_cast<int16_t>(lo);
    h.lpStartMax[k] = static_cast<int16_t>(hi);
    const int32_t width = std::max<int32_t>(b - a + 1, 1);  // a <= b for every feasible count
    const int32_t t = drawShifted(streams.position, 2) % width + a;

    uint32_t sum = 0;
    PE[0] = 0;
    for (int j = 0; j < L; ++j) {
        sum += static_cast<uint32_t>(int32_t{s[j]} * s[j]);
        PE[j + 1] = static_cast<int32_t>(sum);
    }
    const int32_t E = PE[L];
    const int32_t T = static_cast<int32_t>((int64_t{pl.savedLevel} * E) / 100);

    int m = 0;  // latest begin
    while (m < L && !(wrapSub(E, PE[m + 1]) <= T))
        ++m;
    if (m >= L)
        m = L - 1;
    const int begin = nextRandom(streams.cutBegin) % (m + 1);

    int j = L;  // earliest end
    do {
        --j;
        if (j <= begin)
            break;
    } while (T < wrapSub(PE[j], PE[begin]));
    const int end = j + nextRandom(streams.cutEnd) % (L - j);

    for (int i = begin; i <= end; ++i)
        h.lpPureData[t + i] = s[i];
    h.lpPulseStart[k] = static_cast<int16_t>(t);
    h.lpDetectedStart[k] = -1;
    h.lpCutBegin[k] = static_cast<int16_t>(begin);
    h.lpCutEnd[k] = static_cast<int16_t>(end);
    return t;
}

}  // namespace

uint16_t minPulsesFor(uint32_t N, uint16_t L, uint16_t Tmax) {
    const auto v = static_cast<uint16_t>((N + L - 1) / Tmax);
    return v == 0 ? 1 : v;
}

uint16_t maxPulsesFor(uint32_t N, uint16_t L, uint16_t Tmin) {
    return static_cast<uint16_t>((N - L + Tmin) / Tmin);
}

int32_t startLow(uint32_t N, uint16_t Tmin, uint16_t Tmax, uint16_t K, uint16_t k) {
    return std::max<int32_t>(int32_t{k} * Tmin, static_cast<int32_t>(N) - (K - k) * int32_t{Tmax});
}

int32_t startHigh(uint32_t N, uint16_t L, uint16_t Tmin, uint16_t Tmax, uint16_t K, uint16_t k) {
    return std::min<int32_t>((k + 1) * int32_t{Tmax} - L,
                             static_cast<int32_t>(N) - L - (K - 1 - k) * int32_t{Tmin});
}

bool checkSeriesParameters(platform::Window& window, const char* title, uint16_t L, uint16_t Tmin,
                           uint16_t Tmax, uint32_t N) {
    if (Tmin >= 1 && Tmin <= Tmax && L >= 1 && L <= Tmax && N >= L && N <= kMaxSeriesLength)
        return true;
    std::string text = "Несовместимые входные параметры!\n\n";
    char buffer[256];
    std::snprintf(buffer, sizeof buffer,
                  "dwSeriesSize: %lu\nwImpulseSize: %u\nwTmin: %u\nwTmax: %u\n\n"
                  "(1 <= wTmin <= wTmax, 1 <= wImpulseSize <= wTmax, "
                  "wImpulseSize <= dwSeriesSize <= %lu)\n",
                  static_cast<unsigned long>(N), unsigned{L}, unsigned{Tmin}, unsigned{Tmax},
                  static_cast<unsigned long>(kMaxSeriesLength));
    text += buffer;
    window.messageBox(text, title, platform::MessageIcon::Warning);
    return false;
}

void makeExtSeries(platform::Window& window, uint16_t M, const Alphabet& alphabet, uint16_t L,
                   uint16_t Tmin, uint16_t Tmax, uint32_t N, uint16_t K, uint16_t* sequence,
                   int16_t amplitude, uint16_t savedLevel, SeriesHeader& h,
                   RandomStreams& streams) {
    if (!checkSeriesParameters(window, " makeExtSeries ", L, Tmin, Tmax, N))
        return;
    const uint16_t minPulses = minPulsesFor(N, L, Tmax);
    const uint16_t maxPulses = maxPulsesFor(N, L, Tmin);
    // Storage that cannot hold the series is refused like an incompatible count.
    const bool fits = h.sampleBlock && h.dwAllocatedSize >= N && h.wPulsesCapacity >= maxPulses &&
                      h.wPulsesListCapacity >= M && alphabet.size() >= M;
    if (K < minPulses || K > maxPulses || !fits) {
        std::string text = "Несовместимые входные параметры!\n";
        text += "\n";
        text += format("dwSeriesSize: %ld [%ld]\n", long(N), long(h.dwSeriesSize));
        text += format("wImpulseSize: %ld [%ld]\n", long(L), long(h.wImpulseSize));
        text += format("wMinPulses: %ld [%ld]\n", long(minPulses), long(h.wMinPulses));
        text += format("wMaxPulses: %ld [%ld]\n", long(maxPulses), long(h.wMaxPulses));
        char buffer[48];
        std::snprintf(buffer, sizeof buffer, "wImpulseQuantity: %ld\n", long(K));
        text += buffer;
        text += "\n";
        window.messageBox(text, " makeExtSeries ", platform::MessageIcon::Warning);
        return;
    }

    h.dwSeriesSize = N;
    h.wMaxPulses = maxPulses;
    h.wMinPulses = minPulses;
    h.wNoiseLevel = 0;
    h.wAmplitude = amplitude;
    h.wDefaultCutBegin = 0;
    h.wDefaultCutEnd = static_cast<int16_t>(L - 1);

    embedSubset(h.lpSubset, h.wSubsetSize, h.wPulsesCapacity, h.wSubsetMode, h.wSubsetStart, K,
                sequence, streams);

    for (uint16_t k = 0; k < K; ++k) {
        if (sequence[k] < 1 || sequence[k] > M)
            sequence[k] = 1;
        h.lpPulseEtalon[k] = static_cast<int16_t>(sequence[k]);
        h.lpDetectedEtalon[k] = 0;
        h.lpDetectedCutBegin[k] = 0;
        h.lpDetectedCutEnd[k] = 0;
        h.lpCutBegin[k] = 0;
        h.lpCutEnd[k] = static_cast<int16_t>(L - 1);
    }

    h.wEtalonsQuantity = M;
    for (uint16_t i = 0; i < M; ++i)
        h.lpPulsesList[i] = &alphabet[i];
    std::fill(h.lpPureData, h.lpPureData + N, int16_t{0});

    std::unique_ptr<int32_t[]> PE;
    try {
        PE = platform::allocateArray<int32_t>(size_t{L} + 1);
    } catch (const std::bad_alloc&) {
        window.messageBox("Нет памяти для PartialEnergy!", "");
        return;
    }

    auto placement = [&](uint16_t k) {
        return Placement{alphabet[sequence[k] - 1].lpData.get(), L, PE.get(), savedLevel};
    };
    const uint16_t k0 = static_cast<uint16_t>(drawShifted(streams.position, 2) % K);
    const int32_t lo0 = startLow(N, Tmin, Tmax, K, k0), hi0 = startHigh(N, L, Tmin, Tmax, K, k0);
    int32_t t0 = placePulse(h, placement(k0), k0, lo0, hi0, lo0, hi0, streams);
    int32_t previous = t0;
    for (uint16_t k = k0 + 1; k < K; ++k) {
        const int32_t lo = startLow(N, Tmin, Tmax, K, k), hi = startHigh(N, L, Tmin, Tmax, K, k);
        previous = placePulse(h, placement(k), k, lo, hi, std::max(lo, previous + Tmin),
                              std::min(hi, previous + Tmax), streams);
    }
    previous = t0;
    for (int32_t k = int32_t{k0} - 1; k >= 0; --k) {
        const auto kk = static_cast<uint16_t>(k);
        const int32_t lo = startLow(N, Tmin, Tmax, K, kk), hi = startHigh(N, L, Tmin, Tmax, K, kk);
        previous = placePulse(h, placement(kk), kk, lo, hi, std::max(lo, previous - Tmax),
                              std::min(hi, previous - Tmin), streams);
    }

    h.wTmin = Tmin;
    h.wTmax = Tmax;
    h.wImpulseSize = L;
    h.wImpulseQuantity = K;
    std::copy(h.lpPureData, h.lpPureData + N, h.lpNoisyData);
    h.lpFirstPulse = h.lpPulsesList[sequence[0] - 1];
}

void addNoise(platform::Window&, int16_t sigma, int16_t, SeriesHeader& h, int16_t& stream) {
    for (uint32_t i = 0; i < h.dwSeriesSize; ++i) {
        const int32_t v = h.lpPureData[i] + gaussRandom(stream, 0, sigma);
        h.lpNoisyData[i] = static_cast<int16_t>(static_cast<uint16_t>(static_cast<uint32_t>(v)));
    }
    h.wNoiseLevel = sigma;
}

}  // namespace series
