#pragma once
// The curve of one etalon in a small plot, as the alphabet cells and the pulses view draw it.

#include <cstdint>

#include "record_access.h"
#include "surface.h"

namespace render {

// With the current pen: from the zero line (x, top + height / 2) through
// (x + j * width / (n - 1), top + height - (A + s_j) * height / (2A)) for the n samples, back to
// the zero line below the last point; every point shifted by (dx, dy). An etalon of one sample
// or an amplitude of 0 cannot be scaled: it is drawn as a flat line along the zero line from x
// to x + width. No samples: nothing.
void drawEtalonCurve(Surface& surface, const EtalonSamples& samples, int32_t amplitude, int32_t x,
                     int32_t top, int32_t width, int32_t height, int32_t dx = 0, int32_t dy = 0);

}  // namespace render
