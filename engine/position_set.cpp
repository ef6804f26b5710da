#include "position_set.h"

#include <algorithm>
#include <iterator>
#include <new>
#include <span>
#include <vector>

#include "platform/allocation.h"

namespace engine {

namespace {

struct Interval {
    int32_t low;
    int32_t high;
};

std::vector<Interval> intervalsOf(const PositionSet& set) {
    std::vector<Interval> out;
    out.reserve(set.wCount);
    for (uint16_t i = 0; i < set.wCount; ++i)
        out.push_back({set.lpLow[i], set.lpHigh[i]});
    return out;
}

// Stores the intervals when they fit the capacity; otherwise leaves the set unchanged.
int storeIntervals(PositionSet& set, std::span<const Interval> intervals) {
    if (intervals.size() > set.wCapacity)
        return 0;
    for (size_t i = 0; i < intervals.size(); ++i) {
        set.lpLow[i] = static_cast<uint16_t>(intervals[i].low);
        set.lpHigh[i] = static_cast<uint16_t>(intervals[i].high);
    }
    set.wCount = static_cast<uint16_t>(intervals.size());
    return 1;
}

}  // namespace

PositionSetPtr getPositionSet(platform::Window&, PositionSetPtr set, uint16_t capacity) {
    if (set && set->wCapacity < capacity) {
        set->block.reset();
        set->lpLow = set->lpHigh = nullptr;
        set->wCapacity = 0;
    }
    if (!set) {
        try {
            set = std::make_unique<PositionSet>();
        } catch (const std::bad_alloc&) {
            return nullptr;
        }
    }
    if (!set->block) {
        try {
            set->block = platform::allocateArray<uint16_t>(2 * size_t{capacity});
        } catch (const std::bad_alloc&) {
            return nullptr;  // the record goes with `set`
        }
        set->wCapacity = capacity;
        set->lpLow = set->block.get();
        set->lpHigh = set->block.get() + capacity;
    }
    std::fill(set->block.get(), set->block.get() + 2 * size_t{set->wCapacity}, uint16_t{0});
    set->wCount = 0;
    return set;
}

PositionSetPtr freePositionSet(platform::Window&, PositionSetPtr) {
    return nullptr;
}

// Overlapping and touching intervals are merged, so the union holds as few intervals as possible.
// The result holds at most wCount + 1 intervals; small results are built on the stack.
int addInterval(platform::Window&, PositionSet* set, uint16_t low, uint16_t high) {
    if (set == nullptr || high < low)
        return 0;
    Interval local[64];
    std::vector<Interval> heap;
    Interval* out = local;
    if (set->wCount + 1u > std::size(local)) {
        heap.resize(set->wCount + 1u);
        out = heap.data();
    }
    size_t n = 0;
    Interval add{low, high};
    bool placed = false;
    for (uint16_t i = 0; i < set->wCount; ++i) {
        const Interval cur{set->lpLow[i], set->lpHigh[i]};
        if (cur.high + 1 < add.low) {
            out[n++] = cur;
        } else if (add.high + 1 < cur.low) {
            if (!placed)
                out[n++] = add, placed = true;
            out[n++] = cur;
        } else {
            add.low = std::min(add.low, cur.low);
            add.high = std::max(add.high, cur.high);
        }
    }
    if (!placed)
        out[n++] = add;
    return storeIntervals(*set, {out, n});
}

int addSet(platform::Window& window, PositionSet* set, const PositionSet* other) {
    if (set == nullptr || other == nullptr)
        return 0;
    for (const Interval& iv : intervalsOf(*other))
        addInterval(window, set, static_cast<uint16_t>(iv.low), static_cast<uint16_t>(iv.high));
    return 1;
}

int removeInterval(platform::Window&, PositionSet* set, uint16_t low, uint16_t high) {
    if (set == nullptr || high < low)
        return 0;
    std::vector<Interval> out;
    out.reserve(set->wCount + 1u);
    for (uint16_t i = 0; i < set->wCount; ++i) {
        const Interval cur{set->lpLow[i], set->lpHigh[i]};
        if (cur.high < low || cur.low > high) {
            out.push_back(cur);
            continue;
        }
        if (cur.low < low)
            out.push_back({cur.low, low - 1});
        if (cur.high > high)
            out.push_back({high + 1, cur.high});
    }
    return storeIntervals(*set, out);
}

int removeSet(platform::Window& window, PositionSet* set, const PositionSet* other) {
    if (set == nullptr || other == nullptr)
        return 0;
    for (const Interval& iv : intervalsOf(*other))
        removeInterval(window, set, static_cast<uint16_t>(iv.low), static_cast<uint16_t>(iv.high));
    return 1;
}

PositionSetPtr copyPositionSet(platform::Window& window, PositionSetPtr target,
                               const PositionSet* source) {
    if (source == nullptr)
        return nullptr;
    const std::vector<Interval> intervals = intervalsOf(*source);  // source may be the target
    target = getPositionSet(window, std::move(target), source->wCapacity);
    if (!target)
        return nullptr;
    storeIntervals(*target, intervals);
    return target;
}

int clipPositionSet(platform::Window&, PositionSet* set, uint16_t low, uint16_t high) {
    if (set == nullptr || high < low)
        return 0;
    std::vector<Interval> out;
    for (uint16_t i = 0; i < set->wCount; ++i) {
        const int32_t lo = std::max<int32_t>(set->lpLow[i], low);
        const int32_t hi = std::min<int32_t>(set->lpHigh[i], high);
        if (lo <= hi)
            out.push_back({lo, hi});
    }
    return storeIntervals(*set, out);
}

// The pieces of the original set inside each interval of `other` are added back one by one;
// a piece that would exceed the capacity is dropped, as addInterval drops it.
int intersectSets(platform::Window& window, PositionSet* set, const PositionSet* other) {
    if (set == nullptr || other == nullptr)
        return 0;
    const std::vector<Interval> before = intervalsOf(*set);
    const std::vector<Interval> clips = intervalsOf(*other);
    set->wCount = 0;
    for (const Interval& clip : clips) {
        for (const Interval& iv : before) {
            const int32_t lo = std::max(iv.low, clip.low);
            const int32_t hi = std::min(iv.high, clip.high);
            if (lo <= hi)
                addInterval(window, set, static_cast<uint16_t>(lo), static_cast<uint16_t>(hi));
        }
    }
    return 1;
}

OmegaSets buildOmegaSets(platform::Window& window, const series::SeriesHeader& header) {
    OmegaSets sets;
    const uint16_t capacity = header.wMaxPulses;
    sets.omega_minus = getPositionSet(window, nullptr, capacity);
    sets.omega_tilda = getPositionSet(window, nullptr, capacity);
    sets.omega_end = getPositionSet(window, nullptr, capacity);

    const int32_t N = static_cast<int32_t>(std::min<uint32_t>(header.dwSeriesSize, 65535u));
    const int32_t L = header.wImpulseSize;
    const int32_t Tmin = header.wTmin;
    const int32_t Tmax = header.wTmax;
    auto add = [&](PositionSet* set, int32_t low, int32_t high) {
        low = std::max(low, 0);
        if (low <= high && high <= 65535)
            addInterval(window, set, static_cast<uint16_t>(low), static_cast<uint16_t>(high));
    };
    for (int32_t l = header.wMinPulses; l <= header.wMaxPulses; ++l) {
        add(sets.omega_minus.get(), std::max(0, N - l * Tmax),
            std::min(Tmax - L, N - L - (l - 1) * Tmin));
        for (int32_t k = 1; k <= l - 1; ++k)
            add(sets.omega_tilda.get(), std::max(k * Tmin, N - (l - k) * Tmax),
                std::min((k + 1) * Tmax - L, N - L - (l - 1 - k) * Tmin));
        add(sets.omega_end.get(), std::max((l - 1) * Tmin, N - Tmax),
            std::min(l * Tmax - L, N - L));
    }
    return sets;
}

}  // namespace engine
