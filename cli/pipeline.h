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

// The sequence given on the command line ("" for none), padded with 1 to at least n entries.
std::vector<uint16_t> sequenceFromText(const std::string& text, size_t n);

}  // namespace cli
