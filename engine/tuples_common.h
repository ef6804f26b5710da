#pragma once
// Pieces shared by the tuple procedures: sentinels, wrap-around sums, the local fit of one etalon
// cached per position, a sliding-window minimum, the tuple grouping and the chains reset.

#include <cstdint>
#include <memory>
#include <vector>

#include "chains.h"
#include "local_fit.h"
#include "series/records.h"

namespace engine::tuples {

inline constexpr int32_t kNoPredecessor = 999999;  // layered passes: no predecessor found
inline constexpr int32_t kNoChain = 9999999;       // no chain; initial best
inline constexpr int32_t kUnreached = 999999999;   // unknown-count tuple passes

// Signed 32-bit sum with wrap-around (the costs are 32-bit quantities by definition).
inline int32_t addWrap(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}

// 0-based alphabet index of a 1-based etalon number; numbers outside the alphabet stand for
// etalon 1, as generation replaces them.
inline int32_t etalonIndexOf(int32_t number, size_t alphabetSize) {
    return (number >= 1 && static_cast<size_t>(number) <= alphabetSize) ? number - 1 : 0;
}

// Number of possible pulse starts 0 .. N - L (0 when the series is shorter than a pulse).
inline int32_t startCount(const series::SeriesHeader& header) {
    const int64_t N = header.dwSeriesSize, L = header.wImpulseSize;
    if (L == 0 || header.lpNoisyData == nullptr || N < L)
        return 0;
    return static_cast<int32_t>(N - L + 1);
}

// The local fit of single etalons at the starts 0 .. positions - 1, computed on first use and
// shared by every layer, phase and subset that places the same etalon.
class FitCache {
  public:
    FitCache(const series::Alphabet& alphabet, const int16_t* x, int32_t positions, uint16_t length,
             uint16_t D);
    // Best whole or admissibly cut copy of alphabet entry `etalonIndex` at start m.
    const LocalFit& at(int32_t etalonIndex, int32_t m);

  private:
    struct Entry {
        FitEtalon etalon;
        bool usable = false;  // false: the etalon has no samples; every fit costs 0
        std::vector<LocalFit> fits;
        std::vector<uint8_t> done;
    };
    const series::Alphabet& alphabet_;
    const int16_t* x_;
    int32_t positions_;
    uint16_t length_;
    uint16_t D_;
    std::vector<std::unique_ptr<Entry>> entries_;
};

// Leftmost minimum over a window of positions whose two ends only move right. Positions are
// pushed in ascending order, each at most once between resets.
class WindowMinimum {
  public:
    explicit WindowMinimum(size_t capacity) : position_(capacity), value_(capacity) {}
    void reset() { head_ = tail_ = 0; }
    void push(int32_t position, int32_t value) {
        // Strictly greater values behind can never be the minimum again; equal ones stay ahead.
        while (tail_ > head_ && value_[tail_ - 1] > value)
            --tail_;
        position_[tail_] = position;
        value_[tail_] = value;
        ++tail_;
    }
    void dropBefore(int32_t position) {
        while (head_ < tail_ && position_[head_] < position)
            ++head_;
    }
    bool empty() const { return head_ == tail_; }
    int32_t position() const { return position_[head_]; }
    int32_t value() const { return value_[head_]; }

  private:
    std::vector<int32_t> position_;
    std::vector<int32_t> value_;
    size_t head_ = 0;
    size_t tail_ = 0;
};

// Groups n pulses into tuples for a subset of length S at phase p: the first tuple holds
// min(S - p, n) pulses, each further one the next S. Writes 1-based bounds (at most `capacity`
// tuples) and returns the number of tuples; n = 0 gives none.
int32_t groupTuples(int32_t n, int32_t S, int32_t p, int16_t* first, int16_t* last,
                    int32_t capacity);

// wPretenders = 0, the two counters as given, and for every row its distance and entries
// 0 .. pulses - 1 (within wMaxPulses) of its four arrays cleared.
void resetChains(ChainsHeader& chains, uint16_t quanPulses, uint16_t seekingPulses,
                 uint32_t pulses);

// Writes n pulses and their tuple grouping into the header's findings (n within the per-pulse
// capacity is the caller's precondition).
void storeFindings(series::SeriesHeader& header, const std::vector<ChainPulse>& pulses,
                   const int16_t* tupleFirst, const int16_t* tupleLast, int32_t tuples);

}  // namespace engine::tuples
