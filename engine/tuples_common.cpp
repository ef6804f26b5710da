#include "tuples_common.h"

#include <algorithm>
#include <span>

namespace engine::tuples {

FitCache::FitCache(const series::Alphabet& alphabet, const int16_t* x, int32_t positions,
                   uint16_t length, uint16_t D)
    : alphabet_(alphabet),
      x_(x),
      positions_(std::max(positions, 0)),
      length_(length),
      D_(D),
      entries_(alphabet.size()) {}

const LocalFit& FitCache::at(int32_t etalonIndex, int32_t m) {
    std::unique_ptr<Entry>& slot = entries_[static_cast<size_t>(etalonIndex)];
    if (!slot) {
        slot = std::make_unique<Entry>();
        const series::PulseHeader& etalon = alphabet_[static_cast<size_t>(etalonIndex)];
        slot->usable = etalon.lpData != nullptr && etalon.wSize > 0;
        if (slot->usable)
            slot->etalon = prepareFitEtalon(etalon, etalonIndex, D_, length_);
        slot->fits.resize(static_cast<size_t>(positions_));
        slot->done.assign(static_cast<size_t>(positions_), 0);
    }
    Entry& entry = *slot;
    const size_t i = static_cast<size_t>(m);
    if (!entry.done[i]) {
        if (entry.usable) {
            entry.fits[i] = bestLocalFit(x_, static_cast<uint32_t>(m),
                                         std::span<const FitEtalon>(&entry.etalon, 1));
        } else {
            entry.fits[i] = {0, 0, 0, static_cast<int16_t>(length_ > 0 ? length_ - 1 : 0)};
        }
        entry.done[i] = 1;
    }
    return entry.fits[i];
}

int32_t groupTuples(int32_t n, int32_t S, int32_t p, int16_t* first, int16_t* last,
                    int32_t capacity) {
    if (n <= 0 || S <= 0)
        return 0;
    int32_t count = 0;
    int32_t end = std::clamp(S - p, 1, n);
    int32_t begin = 1;
    while (true) {
        if (count < capacity) {
            first[count] = static_cast<int16_t>(begin);
            last[count] = static_cast<int16_t>(end);
        }
        ++count;
        if (end >= n)
            break;
        begin = end + 1;
        end = std::min(end + S, n);
    }
    return std::min(count, capacity);
}

void resetChains(ChainsHeader& chains, uint16_t quanPulses, uint16_t seekingPulses,
                 uint32_t pulses) {
    chains.wPretenders = 0;
    chains.wQuanPulses = quanPulses;
    chains.wSeekingPulsesQuantity = seekingPulses;
    const uint32_t n = std::min<uint32_t>(pulses, chains.wMaxPulses);
    for (uint16_t r = 0; r < chains.wMaxSize; ++r) {
        if (chains.distance)
            chains.distance[r] = 0;
        for (int16_t** rows :
             {chains.pulsesList, chains.lpChainStart, chains.lpChainCutBegin, chains.lpChainCutEnd})
            if (rows && rows[r])
                std::fill(rows[r], rows[r] + n, int16_t{0});
    }
}

void storeFindings(series::SeriesHeader& header, const std::vector<ChainPulse>& pulses,
                   const int16_t* tupleFirst, const int16_t* tupleLast, int32_t tuples) {
    const size_t n = pulses.size();
    for (size_t k = 0; k < n; ++k) {
        header.lpDetectedStart[k] = pulses[k].start;
        header.lpDetectedEtalon[k] = pulses[k].etalon;
        header.lpDetectedCutBegin[k] = pulses[k].cutBegin;
        header.lpDetectedCutEnd[k] = pulses[k].cutEnd;
    }
    header.wDetectedQuantity = static_cast<uint16_t>(n);
    header.wDetectedTuples = static_cast<int16_t>(tuples);
    for (int32_t t = 0; t < tuples; ++t) {
        header.lpTupleFirst[t] = tupleFirst[t];
        header.lpTupleLast[t] = tupleLast[t];
    }
}

}  // namespace engine::tuples
