#pragma once
// Sets of sample positions held as ascending, pairwise disjoint closed intervals, and the three
// position sets of a series: possible starts of a first, of a later and of a last pulse.

#include <cstdint>
#include <memory>

#include "platform/window.h"
#include "series/records.h"

namespace engine {

struct PositionSet {
    uint16_t wCapacity = 0;             // intervals laid out
    uint16_t wCount = 0;                // intervals held
    uint16_t* lpLow = nullptr;          // lower ends, ascending
    uint16_t* lpHigh = nullptr;         // upper ends: lpLow[i] <= lpHigh[i] < lpLow[i+1]
    std::unique_ptr<uint16_t[]> block;  // 2 * wCapacity words behind lpLow and lpHigh
};
using PositionSetPtr = std::unique_ptr<PositionSet>;

// Empties `set` (or a new one) with storage for `capacity` intervals, grown only. Null when
// storage could not be allocated (the set, even a supplied one, is then released). No message.
PositionSetPtr getPositionSet(platform::Window& window, PositionSetPtr set, uint16_t capacity);
// Releases the set; null accepted. Returns null.
PositionSetPtr freePositionSet(platform::Window& window, PositionSetPtr set);
// set = set ∪ [low, high]. 0 if set is null, high < low, or capacity would be exceeded (unchanged).
int addInterval(platform::Window& window, PositionSet* set, uint16_t low, uint16_t high);
// Adds every interval of other in order. 0 if either is null.
int addSet(platform::Window& window, PositionSet* set, const PositionSet* other);
// set = set − [low, high]. 0 if set is null, high < low, or a split would exceed capacity.
int removeInterval(platform::Window& window, PositionSet* set, uint16_t low, uint16_t high);
// Removes every interval of other in order. 0 if either is null.
int removeSet(platform::Window& window, PositionSet* set, const PositionSet* other);
// getPositionSet(target, source capacity), then copies the intervals; null if source is null.
PositionSetPtr copyPositionSet(platform::Window& window, PositionSetPtr target,
                               const PositionSet* source);
// set = set ∩ [low, high]. 0 if set is null or high < low.
int clipPositionSet(platform::Window& window, PositionSet* set, uint16_t low, uint16_t high);
// set = set ∩ other. 0 if either is null.
int intersectSets(platform::Window& window, PositionSet* set, const PositionSet* other);

// Calls f(position) for every position of the set in ascending order. Null set: nothing.
template <class F>
void forEachPosition(const PositionSet* set, F&& f) {
    if (set == nullptr)
        return;
    for (uint16_t i = 0; i < set->wCount; ++i)
        for (uint32_t m = set->lpLow[i]; m <= set->lpHigh[i]; ++m)
            f(static_cast<uint16_t>(m));
}

// omega_minus, omega_tilda and omega_end of a series header, each of capacity wMaxPulses, built
// with intervals added for l = wMinPulses..wMaxPulses ascending (and k ascending within l).
// A set whose storage failed is null (its class of positions is then empty).
struct OmegaSets {
    PositionSetPtr omega_minus;
    PositionSetPtr omega_tilda;
    PositionSetPtr omega_end;
};
OmegaSets buildOmegaSets(platform::Window& window, const series::SeriesHeader& header);

}  // namespace engine
