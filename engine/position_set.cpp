#include "position_set.h"

#include <algorithm>
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
// The intervals the new one overlaps or touches are found by binary search and replaced in place.
int addInterval(platform::Window&, PositionSet* set, uint16_t low, uint16_t high) {
    if (set == nullptr || high < low)
        return 0;
    uint16_t* lows = set->lpLow;
    uint16_t* highs = set->lpHigh;
    const uint16_t n = set->wCount;
    // first: the first interval ending at low - 1 or later; last: one past the last interval
    // beginning at high + 1 or earlier. Those between merge with [low, high].
    const auto first = static_cast<uint16_t>(
        std::partition_point(highs, highs + n, [&](uint16_t h) { return h + 1 < low; }) - highs);
    const auto last = static_cast<uint16_t>(
        std::partition_point(lows, lows + n, [&](uint16_t l) { return l <= high + 1; }) - lows);
    if (first == last) {  // nothing to merge: insert at `first`
        if (n + 1u > set->wCapacity)
            return 0;
        std::copy_backward(lows + first, lows + n, lows + n + 1);
        std::copy_backward(highs + first, highs + n, highs + n + 1);
        lows[first] = low;
        highs[first] = high;
        set->wCount = static_cast<uint16_t>(n + 1);
        return 1;
    }
    const uint16_t mergedLow = std::min(low, lows[first]);
    const uint16_t mergedHigh = std::max(high, highs[last - 1]);
    lows[first] = mergedLow;
    highs[first] = mergedHigh;
    std::copy(lows + last, lows + n, lows + first + 1);
    std::copy(highs + last, highs + n, highs + first + 1);
    set->wCount = static_cast<uint16_t>(n - (last - first - 1));
    return 1;
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

namespace {

// Room for every interval a set can come to hold: at most one per interval added to it and, as
// overlapping and touching intervals are merged, at most one per two of its `positions`.
uint16_t roomFor(int64_t added, int32_t positions) {
    const int64_t separate = (int64_t{std::max(positions, 0)} + 1) / 2;
    return static_cast<uint16_t>(std::clamp<int64_t>(std::min(added, separate), 1, 65535));
}

}  // namespace

OmegaSets buildOmegaSets(platform::Window& window, const series::SeriesHeader& header) {
    OmegaSets sets;
    const int32_t N = static_cast<int32_t>(std::min<uint32_t>(header.dwSeriesSize, 65535u));
    const int32_t L = header.wImpulseSize;
    // Each set is sized for every interval it may need, so that no interval is ever dropped:
    // one per pulse count for the first and last starts, one per pulse count and later pulse for
    // the later starts, never more than the positions 0 .. N - L can hold apart.
    const int64_t counts = std::max(0, header.wMaxPulses - header.wMinPulses + 1);
    int64_t laterPulses = 0;
    for (int32_t l = header.wMinPulses; l <= header.wMaxPulses; ++l)
        laterPulses += std::max(l - 1, 0);
    const int32_t positions = N - L + 1;
    sets.omega_minus = getPositionSet(window, nullptr, roomFor(counts, positions));
    sets.omega_tilda = getPositionSet(window, nullptr, roomFor(laterPulses, positions));
    sets.omega_end = getPositionSet(window, nullptr, roomFor(counts, positions));

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
