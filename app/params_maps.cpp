#include "params_maps.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

namespace app {

namespace {

int64_t rounded(int64_t p, int64_t q) {
    return (2 * p + q) / (2 * q);
}

int32_t toInt32(int64_t v) {
    return static_cast<int32_t>(std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

bool hitLine(const HitLine& l, int32_t x, int32_t y) {
    if (x < l.x1 || x > l.x2)
        return false;
    // A line of no width in x (both ends in one column) is met at its end point's height.
    const int64_t dx = int64_t{l.x2} - l.x1;
    const int64_t e = dx > 0 ? rounded((int64_t{l.x2} - x) * (int64_t{l.y1} - l.y2), dx) : 0;
    return std::llabs((int64_t{y} - l.y2) - e) <= l.h;
}

int64_t plotWidth(const ParamsHeader& p) {
    return int64_t{p.plotRect.right} - p.plotRect.left;
}
int64_t plotHeight(const ParamsHeader& p) {
    return int64_t{p.plotRect.bottom} - p.plotRect.top;
}

// The smallest pulse count the first and the last start range leave room for with interval t.
int64_t leastPulses(const ParamsHeader& p, int64_t t) {
    if (p.bMinus <= p.aPlus)
        return 1;
    return (int64_t{p.bMinus} - p.aPlus + t - 1) / t + 1;
}

}  // namespace

bool hitTmaxLine(const ParamsHeader& p, int32_t x, int32_t y) {
    return hitLine(p.tmaxLine, x, y);
}

bool hitTminLine(const ParamsHeader& p, int32_t x, int32_t y) {
    return hitLine(p.tminLine, x, y);
}

int32_t tminFromPoint(const ParamsHeader& p, int32_t x, int32_t y) {
    if (!p.tminHover)
        return 0;
    const int64_t Wp = plotWidth(p);
    const int64_t Hp = plotHeight(p);
    const int64_t q =
        ((int64_t{p.wPulses} - 1) * Wp - (int64_t{x} - p.plotRect.left) * (p.wMaxPulses - 1)) * Hp;
    if (q <= 0)
        return 0;
    return toInt32(rounded((int64_t{y} - p.plotRect.top) * (int64_t{p.b} - p.a) * Wp, q));
}

int32_t tmaxFromPoint(const ParamsHeader& p, int32_t x, int32_t y) {
    if (!p.tmaxHover)
        return 0;
    const int64_t Wp = plotWidth(p);
    const int64_t Hp = plotHeight(p);
    const int64_t q = (int64_t{x} - p.plotRect.left) * (int64_t{p.wMaxPulses} - 1) * Hp;
    if (q <= 0)
        return 0;
    const int64_t rise =
        (int64_t{p.b} - p.a) * (int64_t{p.plotRect.bottom} - y + 1) - (int64_t{p.aPlus} - p.a) * Hp;
    return toInt32(rounded(rise * Wp, q));
}

bool tminIsValid(const ParamsHeader& p, int32_t v) {
    if (v < p.wEtalonLength || v > p.wTmax || v <= 0)
        return false;
    const int64_t most = (int64_t{p.b} - p.a) / v + 1;
    return most >= p.wPulses && p.wPulses >= leastPulses(p, p.wTmax);
}

bool tmaxIsValid(const ParamsHeader& p, int32_t v) {
    if (v > p.bMinus || v <= p.wTmin || p.wTmin <= 0)
        return false;
    const int64_t most = (int64_t{p.b} - p.a) / p.wTmin + 1;
    return most >= p.wPulses && p.wPulses >= leastPulses(p, v);
}

int32_t markerFromPoint(const ParamsHeader& p, int32_t y) {
    const int64_t span = plotHeight(p) + 1;
    if (span == 0)
        return p.a;
    return toInt32(p.a + (int64_t{p.plotRect.bottom} - y) * (int64_t{p.b} - p.a) / span);
}

}  // namespace app
