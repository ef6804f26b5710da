#pragma once
// Reads of the series and chains records that never leave their laid-out storage: samples
// outside the series read as 0, pulse and chain counts are bounded by the capacities, and an
// etalon number outside the pulses list names no etalon. The views draw whatever the records
// hold, so a record with counts above its capacities draws what fits instead of reading past it.

#include <algorithm>
#include <cstdint>

#include "engine/chains.h"
#include "series/records.h"

namespace render {

// One pulse as the views draw it: start position, 1-based etalon number and cut range.
struct PulseEntry {
    int32_t start = 0;
    int32_t etalon = 0;
    int32_t cutBegin = 0;
    int32_t cutEnd = 0;
};

// Which pulses of a series: the truth or the findings of the last processing.
enum class PulseSet { True, Detected };

// The samples of one etalon; reads outside them give 0.
struct EtalonSamples {
    const int16_t* data = nullptr;
    int32_t size = 0;
    int16_t operator[](int64_t j) const { return j >= 0 && j < size ? data[j] : int16_t{0}; }
};

inline EtalonSamples samplesOf(const series::PulseHeader* etalon) {
    if (etalon == nullptr || !etalon->lpData)
        return {};
    return {etalon->lpData.get(), std::min<int32_t>(etalon->wSize, etalon->wAllocated)};
}

// The character that names an etalon in the texts: 'a' for etalon 1, 'b' for 2, ...
inline char etalonLetter(int32_t number) {
    return static_cast<char>(static_cast<unsigned char>(96 + number));
}

class SeriesAccess {
  public:
    explicit SeriesAccess(const series::SeriesHeader& s) : s_(s) {}

    const series::SeriesHeader& header() const { return s_; }
    // N, the length the graphs map.
    uint32_t length() const { return s_.dwSeriesSize; }
    // Samples that may be read (the series length within the laid-out storage).
    uint32_t readableLength() const {
        if (s_.lpPureData == nullptr || s_.lpNoisyData == nullptr)
            return 0;
        return std::min(s_.dwSeriesSize, s_.dwAllocatedSize);
    }
    int16_t pure(int64_t i) const {
        return i >= 0 && i < readableLength() ? s_.lpPureData[i] : int16_t{0};
    }
    int16_t noisy(int64_t i) const {
        return i >= 0 && i < readableLength() ? s_.lpNoisyData[i] : int16_t{0};
    }

    int32_t count(PulseSet which) const {
        const bool truth = which == PulseSet::True;
        const int16_t* starts = truth ? s_.lpPulseStart : s_.lpDetectedStart;
        if (starts == nullptr)
            return 0;
        return std::min<int32_t>(truth ? s_.wImpulseQuantity : s_.wDetectedQuantity,
                                 s_.wPulsesCapacity);
    }
    // Pulse k of the set; k must be below count(which).
    PulseEntry pulse(PulseSet which, int32_t k) const {
        if (which == PulseSet::True)
            return {entry(s_.lpPulseStart, k), entry(s_.lpPulseEtalon, k), entry(s_.lpCutBegin, k),
                    entry(s_.lpCutEnd, k)};
        return {entry(s_.lpDetectedStart, k), entry(s_.lpDetectedEtalon, k),
                entry(s_.lpDetectedCutBegin, k), entry(s_.lpDetectedCutEnd, k)};
    }

    // The etalon of a 1-based number, or null.
    const series::PulseHeader* etalon(int32_t number) const {
        const int32_t n = std::min<int32_t>(s_.wEtalonsQuantity, s_.wPulsesListCapacity);
        if (!s_.lpPulsesList || number < 1 || number > n)
            return nullptr;
        return s_.lpPulsesList[number - 1];
    }
    EtalonSamples etalonSamples(int32_t number) const { return samplesOf(etalon(number)); }

    // Detected tuples and their 1-based first and last detected pulse.
    int32_t tupleCount() const {
        if (s_.lpTupleFirst == nullptr || s_.lpTupleLast == nullptr)
            return 0;
        return std::clamp<int32_t>(s_.wDetectedTuples, 0, s_.wPulsesCapacity);
    }
    int32_t tupleFirst(int32_t t) const { return entry(s_.lpTupleFirst, t); }
    int32_t tupleLast(int32_t t) const { return entry(s_.lpTupleLast, t); }

    // The current subset (etalon numbers).
    int32_t subsetSize() const {
        return s_.lpSubset ? std::min<int32_t>(s_.wSubsetSize, s_.wPulsesCapacity) : 0;
    }
    int32_t subsetEntry(int32_t i) const { return entry(s_.lpSubset, i); }

    // The stored subsets: rows, and the etalon numbers of each row.
    int32_t storedSubsets() const {
        if (s_.selectedSubsetSize == nullptr || !s_.selectedSubsetList)
            return 0;
        return std::min<int32_t>(s_.wSubsetsQuantity, s_.wSubsetsCapacity);
    }
    int32_t storedSubsetSize(int32_t r) const {
        return std::clamp<int32_t>(s_.selectedSubsetSize[r], 0, s_.wSubsetLengthCapacity);
    }
    int32_t storedSubsetEntry(int32_t r, int32_t c) const {
        const int16_t* row = s_.selectedSubsetList[r];
        return row != nullptr ? row[c] : 0;
    }

  private:
    int32_t entry(const int16_t* a, int32_t k) const {
        return a != nullptr && k >= 0 && k < s_.wPulsesCapacity ? a[k] : 0;
    }
    const series::SeriesHeader& s_;
};

class ChainsAccess {
  public:
    explicit ChainsAccess(const engine::ChainsHeader& c) : c_(c) {}

    // Rows held that have storage.
    int32_t rows() const {
        if (!laidOut())
            return 0;
        return std::min<int32_t>(c_.wPretenders, c_.wMaxSize);
    }
    int32_t distance(int32_t r) const { return c_.distance[r]; }
    // Pulses of row r (r below rows()), bounded by the pulses laid out per row.
    int32_t length(int32_t r) const {
        return std::clamp<int32_t>(c_.lpChainLength[r], 0, c_.wMaxPulses);
    }
    PulseEntry pulse(int32_t r, int32_t j) const {
        return {c_.lpChainStart[r][j], c_.pulsesList[r][j], c_.lpChainCutBegin[r][j],
                c_.lpChainCutEnd[r][j]};
    }
    // The first etalon number of row r, held or not; 0 without row storage.
    int32_t firstEtalon(int32_t r) const {
        return laidOut() && r < c_.wMaxSize && c_.wMaxPulses > 0 ? c_.pulsesList[r][0] : 0;
    }
    // Row 0 with wSeekingPulsesQuantity pulses (the best chain as the findings copy it).
    int32_t bestLength() const {
        return laidOut() ? std::min<int32_t>(c_.wSeekingPulsesQuantity, c_.wMaxPulses) : 0;
    }

  private:
    bool laidOut() const {
        return c_.wMaxSize > 0 && c_.distance != nullptr && c_.lpChainLength != nullptr &&
               c_.pulsesList != nullptr && c_.lpChainStart != nullptr &&
               c_.lpChainCutBegin != nullptr && c_.lpChainCutEnd != nullptr;
    }
    const engine::ChainsHeader& c_;
};

// The kinds of the processing run as the chains record labels it; all 0 without a record.
struct RunKinds {
    uint16_t kindsMark = 0;
    uint16_t seriesKind = 0;
    uint16_t taskKind = 0;
    const char* taskName = nullptr;
    const char* seriesName = nullptr;
    uint16_t createLevel = 0;
    uint16_t processLevel = 0;

    bool marked() const { return kindsMark > 1; }
    bool cutOff() const { return seriesKind == 2 || seriesKind == 8; }
    bool tupleTask() const { return taskKind == 36 || taskKind == 40; }
    bool tupleSeries() const { return seriesKind == 36 || seriesKind == 40; }
    bool tupleMode() const { return tupleTask() && tupleSeries(); }
    // Letters of the first etalon beside the chain numbers (recognition results).
    bool chainEtalonColumn() const { return marked() && taskKind == 2; }
};

inline RunKinds runKindsOf(const engine::ChainsHeader* c) {
    if (c == nullptr)
        return {};
    return {c->wKindsMark,   c->wSeriesKind,       c->wTaskKind,         c->lpTaskName,
            c->lpSeriesName, c->wCreateSavedLevel, c->wProcessSavedLevel};
}

}  // namespace render
