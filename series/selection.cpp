#include "selection.h"

#include <algorithm>
#include <new>
#include <vector>

#include "platform/allocation.h"

namespace series {

std::unique_ptr<uint16_t[]> getRequiredList(platform::Window& window, uint16_t count,
                                            std::unique_ptr<uint16_t[]> oldList) {
    oldList.reset();
    std::unique_ptr<uint16_t[]> list;
    try {
        list = platform::allocateArray<uint16_t>(count);
    } catch (const std::bad_alloc&) {
        window.messageBox("Нет памяти для newList!", " getRequiredList ");
        return nullptr;
    }
    for (uint16_t i = 0; i < count; ++i)
        list[i] = static_cast<uint16_t>(i + 1);
    return list;
}

namespace {
// Copies up to wMaxPulses (and never more than laid out) entries into lpSubset.
void storeCurrentSubset(SeriesHeader& h, const int32_t* entries, int32_t count, uint16_t mode,
                        uint16_t start) {
    const int32_t stored = std::clamp<int32_t>(count, 0, std::min(h.wMaxPulses, h.wPulsesCapacity));
    for (int32_t i = 0; i < stored; ++i)
        h.lpSubset[i] = static_cast<int16_t>(entries[i]);
    h.wSubsetSize = static_cast<uint16_t>(std::max<int32_t>(count, 0));
    h.wSubsetMode = mode;
    h.wSubsetStart = start;
}
}  // namespace

int setCurrentSubset(platform::Window&, const int32_t* entries, int32_t count, uint16_t mode,
                     uint16_t start, SeriesHeader* header) {
    if (header != nullptr)
        storeCurrentSubset(*header, entries, count, mode, start);
    return 1;
}

int addSomeSelectedSubsetToSeriesHeader(platform::Window& window, const int32_t* lengths,
                                        const int32_t* const* rows, int32_t count, int32_t n,
                                        int32_t a, int32_t current, uint16_t mode, uint16_t start,
                                        SeriesHeader* header) {
    if (header == nullptr)
        return 1;
    if (count <= 0)
        return 0;
    SeriesHeader& h = *header;
    const char* title = " addSomeSelectedSubsetToSeriesHeader ";
    // More subsets than laid out cannot be stored; the storage grows to hold them.
    n = std::max(n, count);
    if (h.wSubsetsCapacity < n || h.wSubsetLengthCapacity < a) {
        h.subsetsBlock.reset();
        h.selectedSubsetList.reset();
        h.selectedSubsetSize = nullptr;
    }
    if (!h.subsetsBlock) {
        try {
            h.subsetsBlock = platform::allocateArray<int16_t>(size_t(n) * (size_t(a) + 1));
        } catch (const std::bad_alloc&) {
            window.messageBox("Нет памяти для lpSeriesHeader->selectedSubsetSize!", title);
            return 0;
        }
        h.selectedSubsetSize = h.subsetsBlock.get();
    }
    if (!h.selectedSubsetList) {
        try {
            h.selectedSubsetList = platform::allocateArray<int16_t*>(size_t(n));
        } catch (const std::bad_alloc&) {
            h.subsetsBlock.reset();
            h.selectedSubsetSize = nullptr;
            window.messageBox("Нет памяти для lpSeriesHeader->selectedSubsetList!", title);
            return 0;
        }
        for (int32_t i = 0; i < n; ++i)
            h.selectedSubsetList[i] = h.subsetsBlock.get() + n + i * a;
        h.wSubsetsCapacity = static_cast<uint16_t>(n);
        h.wSubsetLengthCapacity = static_cast<uint16_t>(a);
    }
    h.wSubsetsQuantity = static_cast<uint16_t>(count);
    for (int32_t i = 0; i < count; ++i) {
        // A row holds at most wSubsetLengthCapacity entries; a longer subset is cut to it.
        const int32_t length = std::clamp<int32_t>(lengths[i], 0, h.wSubsetLengthCapacity);
        h.selectedSubsetSize[i] = static_cast<int16_t>(length);
        for (int32_t j = 0; j < length; ++j)
            h.selectedSubsetList[i][j] = static_cast<int16_t>(rows[i][j]);
    }
    int32_t c = current - 1;
    if (c < 0 || c > count - 1)
        c = count - 1;
    const int32_t length = h.selectedSubsetSize[c];
    std::vector<int32_t> entries(h.selectedSubsetList[c], h.selectedSubsetList[c] + length);
    storeCurrentSubset(h, entries.data(), length, mode, start);
    return 1;
}

}  // namespace series
