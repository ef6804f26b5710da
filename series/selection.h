#pragma once
// The required-etalon list and the subsets (tuples) stored in the series header.

#include <cstdint>
#include <memory>

#include "platform/window.h"
#include "records.h"

namespace series {

// A new list 1, 2, ..., count (the old one is released). Null, after a message, on failure.
std::unique_ptr<uint16_t[]> getRequiredList(platform::Window& window, uint16_t count,
                                            std::unique_ptr<uint16_t[]> oldList);

// Copies at most wMaxPulses entries into lpSubset; wSubsetSize = count, mode, start. Null
// header: nothing. Returns 1.
int setCurrentSubset(platform::Window& window, const int32_t* entries, int32_t count, uint16_t mode,
                     uint16_t start, SeriesHeader* header);

// Stores `count` subsets (lengths[i], rows[i][j]) in storage for n subsets of a entries each
// (grown only), then makes subset `current` (1-based; out of range: the last) the current one.
// Returns 1; 0 when count <= 0 or storage could not be allocated. Null header: nothing, 1.
int addSomeSelectedSubsetToSeriesHeader(platform::Window& window, const int32_t* lengths,
                                        const int32_t* const* rows, int32_t count, int32_t n,
                                        int32_t a, int32_t current, uint16_t mode, uint16_t start,
                                        SeriesHeader* header);

}  // namespace series
