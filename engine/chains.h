#pragma once
// The ranked record of candidate chains that every processing procedure fills, and its labels.

#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "platform/window.h"
#include "series/records.h"

namespace engine {

struct ChainsHeader {
    uint16_t wMaxSize = 0;     // rows laid out
    uint16_t wPretenders = 0;  // rows held
    uint16_t wMaxPulses = 0;   // pulses laid out per row
    uint16_t wQuanPulses =
        0;  // pulse count of the series processed (0 for unknown-count detection)
    uint16_t wSeekingPulsesQuantity = 0;  // pulse count of row 0
    int32_t* distance = nullptr;          // per row: cost
    int32_t* lpChainLength = nullptr;     // per row: number of pulses
    int16_t** pulsesList = nullptr;       // per row: etalon numbers (1-based)
    int16_t** lpChainStart = nullptr;     // per row: starts
    int16_t** lpChainCutBegin = nullptr;  // per row: first etalon sample used
    int16_t** lpChainCutEnd = nullptr;    // per row: last etalon sample used
    uint16_t wKindsMark = 0;
    uint16_t wSeriesKind = 0;
    uint16_t wTaskKind = 0;
    const char* lpTaskName = nullptr;
    const char* lpSeriesName = nullptr;
    uint16_t wCreateSavedLevel = 0;
    uint16_t wProcessSavedLevel = 0;

    // Owned blocks: distance + lengths (2 * wMaxSize), row pointers (4 * wMaxSize), row samples
    // (4 * wMaxSize * wMaxPulses; row r of array a starts at (a * wMaxSize + r) * wMaxPulses).
    std::unique_ptr<int32_t[]> distanceBlock;
    std::unique_ptr<int16_t*[]> rowPointerBlock;
    std::unique_ptr<int16_t[]> rowBlock;
};
using ChainsHeaderPtr = std::unique_ptr<ChainsHeader>;

// One pulse of a chain.
struct ChainPulse {
    int16_t start = 0;
    int16_t etalon = 0;  // 1-based etalon number
    int16_t cutBegin = 0;
    int16_t cutEnd = 0;
};

// Lays out (grown only) rows R of P pulses; resets the counters and clears the requested part.
// On failure: message titled " getChainsHeader ", the record released, null.
ChainsHeaderPtr getChainsHeader(platform::Window& window, uint16_t R, uint16_t P,
                                ChainsHeaderPtr chains);
// Records the kinds, their texts and the levels. 0 (with a message) when chains is null.
int addToChainsHeader(platform::Window& window, uint16_t seriesKind, uint16_t taskKind,
                      uint16_t createLevel, uint16_t processLevel, ChainsHeader* chains);
// Releases the record; null accepted; 1.
int freeChainsHeader(platform::Window& window, ChainsHeaderPtr chains);
// The listing text shown by aboutChainsHeader.
std::string chainsListing(const ChainsHeader& chains);
// Shows chainsListing in a message box titled "aboutChainsHeader Info".
void aboutChainsHeader(platform::Window& window, const ChainsHeader& chains);

// Task-name text of the chains record ("detection", ...), or null.
const char* chainsTaskName(uint16_t taskKind);

// Inserts a candidate before the first held row of strictly greater distance (equal distances keep
// the earlier offer ahead); the last row is lost when full. Pulses beyond wMaxPulses are not
// stored. Returns the row written, or -1 when the candidate was dropped.
int offerChain(ChainsHeader& chains, int32_t distance, std::span<const ChainPulse> pulses);

// The row offerChain would write for a chain of this distance, or -1 when it would drop it (so a
// caller can skip building a chain that cannot be kept).
int chainRowFor(const ChainsHeader& chains, int32_t distance);

// wSeekingPulsesQuantity = length of row 0, and row 0 copied into the series' findings
// (wDetectedQuantity and the four lpDetected* arrays). No rows held: 0 found pulses.
void copyBestChainToSeries(ChainsHeader& chains, series::SeriesHeader& header);

}  // namespace engine
