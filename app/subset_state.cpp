#include "subset_state.h"

#include <algorithm>
#include <new>

#include "platform/allocation.h"

namespace app {

namespace {

constexpr const char* kDefaultTitle = "Error";

void releaseRows(AppSettings& a) {
    a.reservedSubsetBlock.reset();
    a.reservedSubsetLists.reset();
    a.possibleSubsetArrayBlock.reset();
    a.possibleSubsetArrayRect.reset();
    a.reservedSubsetRects = nullptr;
}

void releaseSelected(AppSettings& a) {
    a.possibleSubsetRect.reset();
    a.subsetBlock.reset();
    a.selectedSubset = nullptr;
    a.selectedSubsetMarks = nullptr;
    a.selectedSubsetCount = 0;
}

template <class T>
bool allocate(AppSettings& a, std::unique_ptr<T[]>& array, size_t n, const char* name) {
    try {
        array = platform::allocateArray<T>(n);
        return true;
    } catch (const std::bad_alloc&) {
        a.window().messageBox(std::string("Нет памяти для ") + name + "!", kDefaultTitle);
        return false;
    }
}

}  // namespace

bool layoutSubsetState(AppSettings& a, int32_t subsetCapacity, int32_t reservedCapacity) {
    releaseSelected(a);
    releaseRows(a);
    a.selectedSubsetArraySize.reset();
    a.subsetCapacity = 0;
    a.reservedSubsetCapacity = 0;
    a.reservedSubsetCount = 0;
    const auto S = static_cast<size_t>(std::max(subsetCapacity, 1));
    const auto R = static_cast<size_t>(std::max(reservedCapacity, 1));
    const auto fail = [&] {
        releaseSelected(a);
        releaseRows(a);
        a.selectedSubsetArraySize.reset();
        a.subsetCapacity = 0;
        a.reservedSubsetCapacity = 0;
        return false;
    };
    if (!allocate(a, a.possibleSubsetRect, S, "possibleSubsetRect") ||
        !allocate(a, a.subsetBlock, 2 * S, "selectedSubset") ||
        !allocate(a, a.selectedSubsetArraySize, R, "selectedSubsetArraySize") ||
        !allocate(a, a.possibleSubsetArrayBlock, R * (S + 2), "possibleSubsetArrayRect") ||
        !allocate(a, a.possibleSubsetArrayRect, R, "possibleSubsetArrayRect") ||
        !allocate(a, a.reservedSubsetBlock, R * (S + 2), "possibleSubsetArrayRect") ||
        !allocate(a, a.reservedSubsetLists, R, "possibleSubsetArrayRect"))
        return fail();
    a.subsetCapacity = static_cast<int32_t>(S);
    a.reservedSubsetCapacity = static_cast<int32_t>(R);
    a.selectedSubset = a.subsetBlock.get();
    a.selectedSubsetMarks = a.subsetBlock.get() + S;
    for (size_t r = 0; r < R; ++r) {
        a.reservedSubsetLists[r] = a.reservedSubsetBlock.get() + r * (S + 1);
        a.possibleSubsetArrayRect[r] = a.possibleSubsetArrayBlock.get() + r * (S + 1);
    }
    a.reservedSubsetRects = a.possibleSubsetArrayBlock.get() + R * (S + 1);
    return true;
}

bool prepareSubsetScreen(AppSettings& a) {
    if (a.subsetCapacity > 9)
        return true;
    // The reserved capacity is taken from the setting the first time only.
    const int32_t reserved =
        a.reservedSubsetCapacity == 0 ? a.wReservedSubsetsMax : a.reservedSubsetCapacity;
    return layoutSubsetState(a, 10, reserved);
}

void releaseSubsetState(AppSettings& a) {
    releaseSelected(a);
    releaseRows(a);
    a.selectedSubsetArraySize.reset();
    a.ButtonsWhileSelectedSubsetRect.reset();
    a.subsetCapacity = 0;
    a.reservedSubsetCapacity = 0;
    a.reservedSubsetCount = 0;
    a.subsetButtonCount = 0;
}

void releaseSelectedSubsetStorage(AppSettings& a) {
    releaseSelected(a);
    a.subsetCapacity = 0;
}

bool subsetStatePrepared(const AppSettings& a) {
    return a.subsetCapacity > 9 && a.subsetBlock && a.possibleSubsetRect;
}

void deleteMarkedEntries(AppSettings& a) {
    if (!a.subsetBlock)
        return;
    for (int32_t j = a.selectedSubsetCount - 1; j >= 0; --j) {
        if (a.selectedSubsetMarks[j] != 1)
            continue;
        for (int32_t k = j; k + 1 < a.selectedSubsetCount; ++k) {
            a.selectedSubset[k] = a.selectedSubset[k + 1];
            a.selectedSubsetMarks[k] = a.selectedSubsetMarks[k + 1];
        }
        --a.selectedSubsetCount;
        a.selectedSubset[a.selectedSubsetCount] = 0;
        a.selectedSubsetMarks[a.selectedSubsetCount] = 0;
    }
}

void clearSelectedSubset(AppSettings& a) {
    if (a.subsetBlock)
        std::fill_n(a.subsetBlock.get(), 2 * static_cast<size_t>(a.subsetCapacity), 0);
    a.selectedSubsetCount = 0;
}

void appendToSelectedSubset(AppSettings& a, int32_t etalon) {
    if (!a.subsetBlock || a.selectedSubsetCount >= a.subsetCapacity)
        return;
    a.selectedSubset[a.selectedSubsetCount] = etalon;
    a.selectedSubsetMarks[a.selectedSubsetCount] = 0;
    ++a.selectedSubsetCount;
}

void setSelectedSubset(AppSettings& a, const int32_t* entries, int32_t count) {
    const int32_t n = std::clamp(count, 0, a.subsetCapacity);
    for (int32_t i = 0; i < n; ++i) {
        a.selectedSubset[i] = entries[i];
        a.selectedSubsetMarks[i] = 0;
    }
    a.selectedSubsetCount = n;
}

int32_t addReservedSubset(AppSettings& a) {
    if (a.reservedSubsetCount >= a.reservedSubsetCapacity || !a.reservedSubsetLists)
        return a.reservedSubsetCount;
    const int32_t r = a.reservedSubsetCount;
    const int32_t n = std::min(a.selectedSubsetCount, a.subsetCapacity);
    std::copy(a.selectedSubset, a.selectedSubset + n, a.reservedSubsetLists[r]);
    a.selectedSubsetArraySize[r] = n;
    return r + 1;
}

}  // namespace app
