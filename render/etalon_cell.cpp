#include <cstdio>

#include "etalon_curve.h"
#include "record_access.h"
#include "series_view.h"

namespace render {

namespace {
constexpr Colour kGrey = 0xA3A3A3;
constexpr Colour kRed = 0x0000FF;
constexpr Colour kWhite = 0xFFFFFF;
}  // namespace

void drawEtalonCell(Surface& surface, const series::PulseHeader& etalon, int32_t amplitude,
                    int highlight, const Rect& cell, int32_t lh) {
    const int32_t x = cell.left;
    const int32_t w = cell.right - cell.left;
    const int32_t h = cell.bottom - cell.top;
    char letter[8];
    std::snprintf(letter, sizeof letter, " %c ", etalonLetter(etalon.wNumber));
    surface.textOut(x, cell.top + 2, letter);

    const int32_t top = cell.top + 1 + lh + lh / 4;
    const EtalonSamples samples = samplesOf(&etalon);
    auto axes = [&] {
        surface.moveTo(x, top);
        surface.lineTo(x, top + h);
        surface.moveTo(x, top + h / 2);
        surface.lineTo(x + w + 5, top + h / 2);
    };
    if (highlight != 1 && highlight != 2) {
        axes();
        drawEtalonCurve(surface, samples, amplitude, x, top, w, h);
        return;
    }
    surface.fillRect(Rect{x - 3, top - 1, x + w + 6, top + h + 1}, highlight == 1 ? kGrey : kRed);
    ScopedPen pen(surface, solidPen(kWhite));
    axes();
    drawEtalonCurve(surface, samples, amplitude, x, top, w, h);
    drawEtalonCurve(surface, samples, amplitude, x, top, w, h, 1, 0);
    drawEtalonCurve(surface, samples, amplitude, x, top, w, h, 0, -1);
}

}  // namespace render
