#pragma once
// Generation as the application runs it: lay out the header, store the subset, generate with a
// known or a drawn pulse count, add noise.

#include <cstdint>
#include <vector>

#include "common.h"
#include "series/records.h"

namespace cli {

struct GenerationRequest {
    const SeriesOptions* options = nullptr;
    const series::Alphabet* alphabet = nullptr;
    std::vector<uint16_t> sequence;  // padded with 1 to maxPulses
    std::vector<int32_t> subset;     // stored as the current subset when not empty
    bool randomCount = false;
    uint16_t savedLevel = 100;
};

// Null when generation failed (its messages are on `window`).
series::SeriesHeaderPtr generateSeries(platform::Window& window, GenerationRequest& request,
                                       series::RandomStreams& streams,
                                       series::SeriesHeaderPtr header = nullptr);

// The required list: `etalons` ("1,2,3") when given, else 1 for detection and every etalon of
// the alphabet otherwise, as the application's start-up builds it.
std::vector<int32_t> requiredList(const std::string& etalons, uint16_t taskKind, uint16_t count);

// Stores the selection in the series record as the subset settings command does: the stored
// tuples with tuple `currentTuple` current for tuple recognition, else the subset (when given)
// as the current subset. Returns false when the tuples could not be stored (message shown).
bool storeSelection(platform::Window& window, series::SeriesHeader& header, uint16_t taskKind,
                    const std::vector<int32_t>& subset,
                    const std::vector<std::vector<int32_t>>& tuples, int32_t currentTuple,
                    uint16_t mode, uint16_t start);

// The sequence given on the command line ("" for none), padded with 1 to at least n entries.
std::vector<uint16_t> sequenceFromText(const std::string& text, size_t n);

}  // namespace cli
