#pragma once
// The parameter screen's hit tests and the maps from a pointer position to an interval value,
// in integer arithmetic on the chart as last drawn. rounded(p / q) is (2p + q) / (2q), truncating.
// Products are formed in 64 bits so that long series and large windows cannot overflow.

#include <cstdint>

#include "params_header.h"

namespace app {

// Whether (x, y) lies on the Tmax (Tmin) line: within its x range and no farther than its
// half-width from it vertically.
bool hitTmaxLine(const ParamsHeader& p, int32_t x, int32_t y);
bool hitTminLine(const ParamsHeader& p, int32_t x, int32_t y);

// The interval whose line passes through (x, y); 0 unless the line is hovered or when the point
// gives no positive slope.
int32_t tminFromPoint(const ParamsHeader& p, int32_t x, int32_t y);
int32_t tmaxFromPoint(const ParamsHeader& p, int32_t x, int32_t y);

// Whether a dragged value keeps the selected pulse count feasible: Tmin from L to Tmax, Tmax
// above Tmin and at most b-.
bool tminIsValid(const ParamsHeader& p, int32_t v);
bool tmaxIsValid(const ParamsHeader& p, int32_t v);

// The position a marker dragged to height y stands for:
// a + (plot bottom - y) (b - a) / (plot height + 1), truncating.
int32_t markerFromPoint(const ParamsHeader& p, int32_t y);

}  // namespace app
