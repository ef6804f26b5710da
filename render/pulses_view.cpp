#include "pulses_view.h"

#include <algorithm>

#include "etalon_curve.h"
#include "record_access.h"
#include "text_line.h"

namespace render {

namespace {

constexpr Colour kRequiredShape = 0xFF0000;
constexpr Colour kOtherShape = 0x7F0000;
constexpr Colour kRequiredBorder = 0xA3A3A3;
constexpr Colour kOtherBorder = 0x7F7F7F;

// A closed polyline through (x, y), (x, y + h), (x + w, y + h), (x + w, y), (x, y).
void outline(Surface& surface, int32_t x, int32_t y, int32_t w, int32_t h) {
    surface.moveTo(x, y);
    surface.lineTo(x, y + h);
    surface.lineTo(x + w, y + h);
    surface.lineTo(x + w, y);
    surface.lineTo(x, y);
}

// The energy of the samples, a 32-bit sum that wraps.
int32_t energyOf(const EtalonSamples& samples) {
    uint32_t e = 0;
    for (int32_t j = 0; j < samples.size; ++j)
        e += static_cast<uint32_t>(int32_t{samples[j]} * samples[j]);
    return static_cast<int32_t>(e);
}

void drawCell(Surface& surface, const ScreenLayout& layout, const series::PulseHeader& etalon,
              int32_t amplitude, bool required, const Rect& c) {
    const int32_t x = c.left + 5;
    int32_t y = c.top + 5;
    const int32_t w = layout.cellInnerWidth;
    const int32_t h = layout.cellInnerHeight - layout.lineHeight;
    const EtalonSamples samples = samplesOf(&etalon);

    TextLine label;
    label.add(" pulse %d [%d]", etalon.wNumber, energyOf(samples));
    surface.textOut(x, y, label.str());
    y += layout.lineHeight;

    surface.moveTo(x, y);
    surface.lineTo(x, y + h);
    surface.moveTo(x, y + h / 2);
    surface.lineTo(x + w - 1, y + h / 2);
    {
        ScopedPen pen(surface, solidPen(required ? kRequiredShape : kOtherShape));
        drawEtalonCurve(surface, samples, amplitude, x, y, w - 6, h);
        drawEtalonCurve(surface, samples, amplitude, x, y, w - 6, h, 1, 0);
        drawEtalonCurve(surface, samples, amplitude, x, y, w - 6, h, 0, -1);
    }

    const int32_t cw = layout.cellWidth;
    const int32_t ch = layout.cellHeight;
    if (required) {
        ScopedPen pen(surface, solidPen(kRequiredBorder));
        outline(surface, c.left, c.top, cw, ch);
        outline(surface, c.left + 1, c.top + 1, cw - 2, ch - 2);
        outline(surface, c.left - 1, c.top - 1, cw + 2, ch + 2);
    } else {
        ScopedPen pen(surface, solidPen(kOtherBorder));
        outline(surface, c.left, c.top, cw, ch);
    }
}

}  // namespace

void drawPulsesView(Surface& surface, const ScreenLayout& layout, const series::Alphabet& etalons,
                    uint16_t alphabetSize, int32_t amplitude, const uint16_t* requiredFlags) {
    const Rect& work = layout.workAreaRect;
    outline(surface, work.left, work.top, work.right - work.left + 1, work.bottom - work.top + 1);
    // One cell per etalon, as far as the alphabet and the cell grid reach.
    const size_t n = std::min({size_t{alphabetSize}, etalons.size(), size_t{kMaxPulseCells}});
    for (size_t i = 0; i < n; ++i) {
        const bool required = requiredFlags != nullptr && requiredFlags[i + 1] == 1;
        drawCell(surface, layout, etalons[i], amplitude, required, layout.pulseCellRects[i]);
    }
}

}  // namespace render
