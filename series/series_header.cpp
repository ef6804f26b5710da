#include "series_header.h"

#include <algorithm>
#include <new>
#include <vector>

#include "generation.h"
#include "platform/allocation.h"

namespace series {

namespace {

constexpr int kPerPulseArrays = 13;

// Points every field into the sample block laid out for N samples and P pulses.
void layOut(SeriesHeader& h, uint32_t N, uint16_t P) {
    int16_t* b = h.sampleBlock.get();
    h.lpPureData = b;
    h.lpNoisyData = b + N;
    int16_t** arrays[kPerPulseArrays] = {
        &h.lpPulseEtalon,      &h.lpDetectedEtalon, &h.lpPulseStart, &h.lpDetectedStart,
        &h.lpStartMin,         &h.lpStartMax,       &h.lpCutBegin,   &h.lpCutEnd,
        &h.lpDetectedCutBegin, &h.lpDetectedCutEnd, &h.lpSubset,     &h.lpTupleFirst,
        &h.lpTupleLast};
    for (int a = 0; a < kPerPulseArrays; ++a)
        *arrays[a] = b + 2 * size_t{N} + static_cast<size_t>(a) * P;
}

}  // namespace

SeriesHeaderPtr getCutOffSeriesHeader(platform::Window& window, uint16_t M, uint16_t L,
                                      uint16_t Tmin, uint16_t Tmax, uint32_t N,
                                      SeriesHeaderPtr header) {
    if (!checkSeriesParameters(window, " getCutOffSeriesHeader ", L, Tmin, Tmax, N))
        return header;
    const uint16_t minPulses = minPulsesFor(N, L, Tmax);
    const uint16_t maxPulses = maxPulsesFor(N, L, Tmin);

    // A subset that fits the new per-pulse capacity survives a re-layout.
    std::vector<int16_t> keptSubset;
    uint16_t keptMode = 0, keptStart = 0;
    const bool keep = header && header->wSubsetSize >= 1 && header->wSubsetSize <= maxPulses &&
                      header->wSubsetSize <= header->wPulsesCapacity;
    if (keep) {
        keptSubset.assign(header->lpSubset, header->lpSubset + header->wSubsetSize);
        keptMode = header->wSubsetMode;
        keptStart = header->wSubsetStart;
    }

    if (!header) {
        try {
            header = std::make_unique<SeriesHeader>();
        } catch (const std::bad_alloc&) {
            window.messageBox("Нет памяти для newSeriesHeader!", " getCutOffSeriesHeader ");
            return nullptr;
        }
    }
    SeriesHeader& h = *header;

    if (h.dwAllocatedSize < N || h.wPulsesCapacity < maxPulses) {
        h.sampleBlock.reset();
        try {
            h.sampleBlock = platform::allocateArray<int16_t>(2 * size_t{N} +
                                                             kPerPulseArrays * size_t{maxPulses});
        } catch (const std::bad_alloc&) {
            window.messageBox("Нет памяти для newSeriesHeader->lpPureData!",
                              " getExtSeriesHeader ");
            return nullptr;
        }
        layOut(h, N, maxPulses);
        h.dwAllocatedSize = N;
        h.wPulsesCapacity = maxPulses;
        // The new block is zeroed; a subset too long for it keeps its size, mode and start
        // while its entries read as 0, which generation turns into etalon 1.
        if (keep) {
            std::copy(keptSubset.begin(), keptSubset.end(), h.lpSubset);
            h.wSubsetSize = static_cast<uint16_t>(keptSubset.size());
            h.wSubsetMode = keptMode;
            h.wSubsetStart = keptStart;
        }
    }

    if (h.wPulsesListCapacity < M) {
        h.lpPulsesList.reset();
        try {
            h.lpPulsesList = platform::allocateArray<const PulseHeader*>(M);
        } catch (const std::bad_alloc&) {
            window.messageBox("Нет памяти для newSeriesHeader->lpPulsesList!",
                              " getExtSeriesHeader ");
            return nullptr;
        }
        h.wPulsesListCapacity = M;
    }

    h.wEtalonsQuantity = M;
    h.dwSeriesSize = N;
    h.wMaxPulses = maxPulses;
    h.wMinPulses = minPulses;
    h.wTmin = Tmin;
    h.wTmax = Tmax;
    std::fill(h.lpPulsesList.get(), h.lpPulsesList.get() + h.wPulsesListCapacity, nullptr);
    return header;
}

SeriesHeaderPtr getCutOffSeries(platform::Window& window, uint16_t M, const Alphabet& alphabet,
                                uint16_t L, uint16_t Tmin, uint16_t Tmax, uint32_t N, uint16_t K,
                                uint16_t* sequence, int16_t amplitude, uint16_t savedLevel,
                                SeriesHeaderPtr header, RandomStreams& streams) {
    // Refused parameters: one message, the header kept with its previous series.
    if (!checkSeriesParameters(window, " getCutOffSeries ", L, Tmin, Tmax, N))
        return header;
    header = getCutOffSeriesHeader(window, M, L, Tmin, Tmax, N, std::move(header));
    if (!header) {
        window.messageBox("Не могу выделить память для lpSeriesHeader!", " getCutOffSeries ",
                          platform::MessageIcon::Warning);
        return nullptr;
    }
    makeExtSeries(window, M, alphabet, L, Tmin, Tmax, N, K, sequence, amplitude, savedLevel,
                  *header, streams);
    return header;
}

SeriesHeaderPtr getRandomCutOffSeries(platform::Window& window, uint16_t M,
                                      const Alphabet& alphabet, uint16_t L, uint16_t Tmin,
                                      uint16_t Tmax, uint32_t N, uint16_t /*K*/, uint16_t* sequence,
                                      int16_t amplitude, uint16_t savedLevel,
                                      SeriesHeaderPtr header, RandomStreams& streams) {
    if (!checkSeriesParameters(window, " getRandomCutOffSeries ", L, Tmin, Tmax, N))
        return header;
    const uint16_t minPulses = minPulsesFor(N, L, Tmax);
    const uint16_t maxPulses = maxPulsesFor(N, L, Tmin);
    if (maxPulses < minPulses)
        return nullptr;
    const auto K = static_cast<uint16_t>(minPulses + (nextRandom(streams.pulseCount) >> 2) %
                                                         (maxPulses - minPulses + 1));
    return getCutOffSeries(window, M, alphabet, L, Tmin, Tmax, N, K, sequence, amplitude,
                           savedLevel, std::move(header), streams);
}

int freeSeriesHeader(platform::Window&, SeriesHeaderPtr header) {
    header.reset();
    return 1;
}

}  // namespace series
