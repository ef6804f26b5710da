#include "etalon_curve.h"

namespace render {

void drawEtalonCurve(Surface& surface, const EtalonSamples& samples, int32_t A, int32_t x,
                     int32_t top, int32_t width, int32_t height, int32_t dx, int32_t dy) {
    const int32_t n = samples.size;
    if (n <= 0)
        return;
    const int32_t zero = top + height / 2 + dy;
    surface.moveTo(x + dx, zero);
    if (n == 1 || A == 0) {
        surface.lineTo(x + width + dx, zero);
        return;
    }
    int32_t lastX = x + dx;
    for (int32_t j = 0; j < n; ++j) {
        lastX = static_cast<int32_t>(x + int64_t{j} * width / (n - 1)) + dx;
        const int64_t y = top + height - (int64_t{A} + samples[j]) * height / (2 * int64_t{A});
        surface.lineTo(lastX, static_cast<int32_t>(y) + dy);
    }
    surface.lineTo(lastX, zero);
}

}  // namespace render
