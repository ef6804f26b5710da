#pragma once
// The storage of the subset state: the selected subset with its marks and slot rectangles, and
// the reserved subsets, whose rows of member numbers and member rectangles lie in two blocks of
// reservedSubsetCapacity x (subsetCapacity + 2) entries (each row subsetCapacity + 1 entries;
// the frame of row r is its entry subsetCapacity; reservedSubsetRects follow the last row).

#include "app_settings.h"

namespace app {

// Prepares the subset state once (subsetCapacity 10, reserved capacity wReservedSubsetsMax);
// later calls return true at once. On a failed allocation releases what it allocated, shows the
// message naming the array and returns false.
bool prepareSubsetScreen(AppSettings& app);

// Lays the state out for subsets of `subsetCapacity` entries and `reservedCapacity` reserved
// subsets, emptied. Used by the preparation and by the batch tool for larger selections.
bool layoutSubsetState(AppSettings& app, int32_t subsetCapacity, int32_t reservedCapacity);

// Releases every array of the subset state and zeroes its counts.
void releaseSubsetState(AppSettings& app);
// Releases the slot rectangles and the selected subset with its marks; the screen is then
// prepared anew by its next drawing.
void releaseSelectedSubsetStorage(AppSettings& app);
// The state exists: the selected subset, its marks and its slot rectangles.
bool subsetStatePrepared(const AppSettings& app);

// Removes the marked entries of the selected subset, from the last to the first; the entries
// after a removed one move up.
void deleteMarkedEntries(AppSettings& app);
// Empties the selected subset and clears every mark.
void clearSelectedSubset(AppSettings& app);
// Appends an unmarked entry unless the subset is full.
void appendToSelectedSubset(AppSettings& app, int32_t etalon);

// Appends `entries` as the selected subset (cut at the capacity), unmarked.
void setSelectedSubset(AppSettings& app, const int32_t* entries, int32_t count);
// Stores the selected subset as the next reserved subset; returns the new reserved count
// (unchanged when the reserved list is full).
int32_t addReservedSubset(AppSettings& app);

}  // namespace app
