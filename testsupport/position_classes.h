#pragma once
// The three position classes of a series (possible starts of a first, a later and a last pulse)
// computed straight from their formulas, and the derived classes, for the engine tests.

#include <algorithm>
#include <set>

#include "series/records.h"

namespace testsupport {

struct PositionClasses {
    std::set<int> minus, tilda, end, minusOnly, both, tildaOnly;
};

inline PositionClasses positionClassesOf(const series::SeriesHeader& h) {
    PositionClasses c;
    const int N = static_cast<int>(h.dwSeriesSize), L = h.wImpulseSize, Tmin = h.wTmin,
              Tmax = h.wTmax;
    auto put = [](std::set<int>& s, int lo, int hi) {
        for (int m = std::max(lo, 0); m <= hi; ++m)
            s.insert(m);
    };
    for (int l = h.wMinPulses; l <= h.wMaxPulses; ++l) {
        put(c.minus, std::max(0, N - l * Tmax), std::min(Tmax - L, N - L - (l - 1) * Tmin));
        for (int k = 1; k < l; ++k)
            put(c.tilda, std::max(k * Tmin, N - (l - k) * Tmax),
                std::min((k + 1) * Tmax - L, N - L - (l - 1 - k) * Tmin));
        put(c.end, std::max((l - 1) * Tmin, N - Tmax), std::min(l * Tmax - L, N - L));
    }
    for (int m : c.minus)
        (c.tilda.count(m) ? c.both : c.minusOnly).insert(m);
    for (int m : c.tilda)
        if (!c.minus.count(m))
            c.tildaOnly.insert(m);
    return c;
}

}  // namespace testsupport
