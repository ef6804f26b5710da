#pragma once
// The record of one statistical simulation: the grid of pulse counts and noise levels and, per
// cell, the error measures that the driver accumulated. Six tables of P x L signed 32-bit values,
// each addressed table[k][j]: first the noise-level index k, then the pulse-value index j.

#include <cstddef>
#include <cstdint>
#include <memory>

#include "platform/window.h"

namespace simulation {

struct RestErrorHeader {
    uint16_t wReservedPulses = 0;             // pulse values the value block is laid out for
    uint16_t wVariousPulses = 0;              // P
    uint16_t wReservedLevels = 0;             // noise levels the value block is laid out for
    uint16_t wNoiseLevels = 0;                // L
    int32_t repeats = 0;                      // repeats per cell; the driver uses the low 16 bits
    int16_t* wPulseValues = nullptr;          // P pulse counts, L entries into the value block
    int16_t* lpNoiseLevels = nullptr;         // L noise levels, the start of the value block
    int32_t** lpErrors = nullptr;             // table 1: restoring error (row-pointer block start)
    int32_t** lpDetectionErrors = nullptr;    // table 2: detection (start position) error
    int32_t** lpSpareErrors1 = nullptr;       // table 3: always zero
    int32_t** lpRecognitionErrors = nullptr;  // table 4: wrongly recognised tuples
    int32_t** lpSpareErrors2 = nullptr;       // table 5: always zero
    int32_t** lpSpareErrors3 = nullptr;       // table 6: always zero
    int16_t wKindsMark = 0;
    uint16_t wSeriesKind = 0;
    uint16_t wTaskKind = 0;
    const char* lpTaskName = nullptr;
    const char* lpSeriesName = nullptr;
    uint16_t wCreateSavedLevel = 0;
    int16_t wProcessSavedLevel = 0;
    uint16_t ifComplete = 0;  // 1 once a run has filled the tables

    // Owned blocks and how many elements each holds.
    std::unique_ptr<int16_t[]> valueBlock;        // L noise levels, then P pulse values
    std::unique_ptr<int32_t*[]> rowPointerBlock;  // 6 * L row pointers, L per table
    std::unique_ptr<int32_t[]> dataBlock;         // 6 * P * L cells, table t at t * P * L
    size_t valueBlockSize = 0;
    size_t rowPointerBlockSize = 0;
    size_t dataBlockSize = 0;

    int32_t** lpRestoringErrors() const { return lpErrors; }
    // Table t (0..5, in field order).
    int32_t** table(int t) const { return rowPointerBlock.get() + size_t(t) * wNoiseLevels; }

    RestErrorHeader() = default;
    RestErrorHeader(const RestErrorHeader&) = delete;  // the pointer fields point into the blocks
    RestErrorHeader& operator=(const RestErrorHeader&) = delete;
};

using RestErrorHeaderPtr = std::unique_ptr<RestErrorHeader>;

// Lays `record` (or a new one) out for P pulse values and L noise levels, keeping the blocks
// that are large enough; all values and cells zero. On allocation failure: a message titled
// " getRestErrHeader ", the record (even a supplied one) released, null.
RestErrorHeaderPtr getRestErrHeader(platform::Window& window, uint16_t P, uint16_t L,
                                    int32_t repeats, RestErrorHeaderPtr record);

// Fills the grid: pulse value j = pulseFrom + pulseStep * j, noise level k = noiseFrom +
// noiseStep * k, each truncated to 16 bits; clears table 1 and ifComplete. 1, or 0 (message,
// record unchanged) when the record is null or P, L exceed the reserved capacities.
int initRestErrHeader(platform::Window& window, uint16_t P, int32_t pulseFrom, int32_t pulseStep,
                      uint16_t L, int32_t noiseFrom, int32_t noiseStep, int32_t repeats,
                      RestErrorHeader* record);

// Records the kinds and saved levels of the run. 1, or 0 (message) when the record is null.
int addInitRestErrHeader(platform::Window& window, uint16_t seriesKind, uint16_t taskKind,
                         uint16_t createSavedLevel, int16_t processSavedLevel,
                         RestErrorHeader* record);

// Releases the record and its blocks; null accepted. Always 1.
int freeRestErrHeader(platform::Window& window, RestErrorHeaderPtr record);

// The simulation record's own name texts (they differ from the chains record's task names).
const char* restErrSeriesName(uint16_t seriesKind);
const char* restErrTaskName(uint16_t taskKind);

// True when from + step * i fits a signed 16-bit value for every i < count.
bool gridFits16Bits(int64_t from, int64_t step, int64_t count);

}  // namespace simulation
