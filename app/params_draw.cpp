// The parameter screen's picture: the frame, the chart of start positions over pulse counts with
// the boxes of the counts, the two range markers and the four lines that bound the starts, the
// column of read-outs, the Tmin entry and the two buttons. A partial update (`changed`) paints
// the previous lines over in the chart's colour instead of erasing, so that a drag does not
// flicker.

#include <algorithm>
#include <cstdio>
#include <limits>
#include <string>

#include "paint.h"
#include "params_header.h"
#include "params_screen.h"
#include "render/push_button.h"
#include "subset_layout.h"

namespace app {

namespace {

using render::ScopedBrush;
using render::ScopedPen;
using render::Surface;

constexpr platform::Colour kChartBackground = 0xFAFAFA;
constexpr platform::Colour kTmaxColour = 0x0000FF;
constexpr platform::Colour kTminColour = 0xFF0000;
constexpr platform::Colour kLowerColour = 0x008000;
constexpr platform::Colour kEmptyBoxColour = 0xA0A0A0;

// Window coordinates stay within the 16-bit range of the window system, however far a dragged
// value takes a line.
int32_t coordinate(int64_t v) {
    return static_cast<int32_t>(std::clamp<int64_t>(v, -32768, 32767));
}

std::string format(const char* f, int32_t v) {
    char text[64];
    std::snprintf(text, sizeof text, f, v);
    return text;
}
std::string format(const char* f, int32_t v1, int32_t v2) {
    char text[64];
    std::snprintf(text, sizeof text, f, v1, v2);
    return text;
}
std::string format(const char* f, int32_t v1, int32_t v2, int32_t v3, int32_t v4) {
    char text[96];
    std::snprintf(text, sizeof text, f, v1, v2, v3, v4);
    return text;
}

// The chart's scales: pulse count m at x(m), and the half-step scales of the lines and markers.
// Denominators that would be 0 for a degenerate series are taken as 1.
struct Scales {
    int64_t left = 0, bottom = 0, Wp = 0, Hp = 0;
    int64_t dm = 1;  // Mmax - 1
    int64_t db = 1;  // b - a

    int32_t x(int64_t m) const { return coordinate(left + (m - 1) * Wp / dm); }
    // Half step t: t = 2k is pulse count k.
    int32_t X(int64_t t) const {
        if (t == 1)
            return coordinate(left - (Wp + dm) / (2 * dm));
        return coordinate(left + ((t - 2) * Wp + dm) / (2 * dm));
    }
    // u: twice the position above a.
    int32_t Y(int64_t u) const { return coordinate(bottom - (u * Hp + db) / (2 * db)); }
};

void drawLine(Surface& s, const LineSegment& l) {
    s.moveTo(l.x1, l.y1);
    s.lineTo(l.x2, l.y2);
}

// Every second pixel of a horizontal guide.
void drawGuide(Surface& s, const LineSegment& g, platform::Colour c) {
    for (int32_t x = g.x1; x <= g.x2; x += 2)
        s.setPixel(x, g.y1, c);
}

struct Geometry {
    Rect frame;
    int32_t gx = 0, gy = 0, lh = 0, ach = 0, th = 0;
    int32_t buttonWidth = 0, buttonHeight = 0;
    int32_t readoutLines = 14;
};

// Paints over what the previous drawing put where this one may draw differently.
void paintOverPrevious(Surface& s, const ParamsHeader& p, const Geometry& g) {
    {
        ScopedPen pen(s, render::solidPen(kChartBackground));
        drawLine(s, p.drawn.tmax);
        drawLine(s, p.drawn.tmin);
        drawLine(s, p.drawn.firstLower);
        drawLine(s, p.drawn.lastLower);
    }
    drawGuide(s, p.drawn.aPlusGuide, kChartBackground);
    drawGuide(s, p.drawn.bMinusGuide, kChartBackground);
    const auto clear = [&](const Rect& r, platform::Colour c) {
        s.fillRect(Rect{r.left, r.top, r.right + 1, r.bottom + 1}, c);
    };
    clear(p.drawn.aPlusLabel, kChartBackground);
    clear(p.drawn.bMinusLabel, kChartBackground);
    // The count labels under the axis and the read-outs change with the values.
    const Rect& plot = p.plotRect;
    const Rect& chart = p.chartRect;
    clear(Rect{chart.left + 1, plot.bottom + g.th / 2 + 1, chart.right - 1,
               plot.bottom + g.th / 2 + 2 * g.th},
          kChartBackground);
    clear(Rect{g.frame.left + 1, chart.top, chart.left - 1, chart.top + g.readoutLines * g.th},
          kLightBackground);
}

void drawAxes(Surface& s, ParamsHeader& p, const Scales& sc, const Geometry& g) {
    const Rect& plot = p.plotRect;
    s.moveTo(plot.left, plot.bottom);
    s.lineTo(plot.left, coordinate(int64_t{plot.bottom} - sc.Hp));
    s.moveTo(plot.left, plot.bottom);
    s.lineTo(plot.right + g.gx, plot.bottom);
    const int32_t tick = std::max(g.gy / 2, 2);
    for (int32_t m = 1; m <= p.wMaxPulses; ++m) {
        const int32_t x = sc.x(m);
        s.moveTo(x, plot.bottom - tick);
        s.lineTo(x, plot.bottom + tick + 1);
    }
    const int32_t labelTop = plot.bottom + g.th / 2 + 1;
    const auto label = [&](int32_t m, int32_t top) {
        const std::string text = std::to_string(m);
        s.textOut(sc.x(m) - s.textExtent(text).cx / 2, top, text);
    };
    for (int32_t m = 1; m <= p.wPulses; ++m)
        label(m, labelTop);
    for (int32_t m = p.wMinPulses; m <= p.wMaxPulses; ++m)
        label(m, labelTop + g.th);
}

void drawBoxes(Surface& s, ParamsHeader& p, const Scales& sc, const Geometry& g) {
    const int32_t halfWidth = coordinate(sc.Wp / sc.dm / 2);
    const int32_t halfHeight = g.th / 2;
    const Rect& plot = p.plotRect;
    ScopedBrush hollow(s, render::Brush{true, 0});
    for (int32_t i = 0; i < p.wBoxCount && i < p.wBoxCapacity; ++i) {
        const int32_t m = p.wMinPulses + i;
        const int32_t x = sc.x(m);
        const Rect box{x - halfWidth, plot.bottom - halfHeight, x + halfWidth,
                       plot.bottom + halfHeight};
        p.pulsesSelectedAreas[i] = box;
        ScopedPen pen(s, render::solidPen(m == p.wPulses ? 0x000000 : kEmptyBoxColour));
        s.rectangle(box.left, box.top, box.right + 1, box.bottom + 1);
    }
}

// A dotted guide at the height of a start-range end, its framed value left of the axis, and
// the hit rectangle along the guide.
void drawMarker(Surface& s, const Scales& sc, const Geometry& g, const ParamsHeader& p,
                int32_t value, LineSegment& guide, Rect& label, Rect& handle) {
    const int32_t y = sc.Y(2 * (int64_t{value} - p.a));
    const int32_t left = p.plotRect.left - g.gx / 2;
    const int32_t right = sc.x(p.wPulses) + g.gx;
    guide = LineSegment{left, y, right, y};
    drawGuide(s, guide, 0x000000);
    const std::string text = std::to_string(value);
    const int32_t tw = s.textExtent(text).cx;
    label = Rect{left - 2 - tw - 4, y - g.th / 2 - 1, left - 2, y + g.th / 2 + 1};
    {
        ScopedBrush brush(s, render::solidBrush(kChartBackground));
        s.rectangle(label.left, label.top, label.right + 1, label.bottom + 1);
    }
    s.textOut(label.left + 3, label.top + 1, text);
    const int32_t half = g.gy / 2 + 1;
    handle = Rect{left, y - half, right, y + half};
}

void drawLines(Surface& s, ParamsHeader& p, const Scales& sc, const Geometry& g) {
    const int64_t K = p.wPulses, Tn = p.wTmin, Tx = p.wTmax;
    const int64_t a = p.a, aPlus = p.aPlus, bMinus = p.bMinus, b = p.b;
    const int64_t end = 2 * K + 1;
    // The half steps just past the crossings of the upper and of the lower pair of lines.
    int64_t t1 = end, t3 = end;
    if (Tn < Tx) {
        const int64_t d = Tx - Tn;
        t1 = (2 * (b - K * Tn - aPlus + Tx + d) - 1) / d - 1;
        t3 = (2 * (a + K * Tx - Tn - bMinus + d) - 1) / d - 1;
    }
    t1 = std::max<int64_t>(t1, 1);
    t3 = std::clamp<int64_t>(t3, 1, std::max<int64_t>(end, 1));
    const int64_t t2 = std::max<int64_t>(t1 - 1, 1);

    auto& d = p.drawn;
    d.tmax = LineSegment{sc.X(1), sc.Y(2 * (aPlus - a) - Tx), sc.X(t1),
                         sc.Y(t1 * Tx + 2 * (aPlus - a - Tx))};
    d.tmin = LineSegment{sc.X(t2), sc.Y(2 * (b - a) + (t2 - 2 * K) * Tn), sc.X(end),
                         sc.Y(2 * (b - a) + Tn)};
    d.firstLower = LineSegment{sc.X(1), coordinate(sc.bottom + (Tn * sc.Hp + sc.db) / (2 * sc.db)),
                               sc.X(t3), sc.Y((t3 - 2) * Tn)};
    d.lastLower = LineSegment{sc.X(t3 - 1), sc.Y((t3 - 1) * Tx + 2 * (bMinus - K * Tx - a)),
                              sc.X(end), sc.Y(Tx + 2 * (bMinus - a))};
    const int32_t half = g.gy / 2 + 1;
    p.tmaxLine = HitLine{d.tmax.x1, d.tmax.y1, d.tmax.x2, d.tmax.y2, half};
    p.tminLine = HitLine{d.tmin.x1, d.tmin.y1, d.tmin.x2, d.tmin.y2, half};

    const auto draw = [&](const LineSegment& l, platform::Colour c) {
        ScopedPen pen(s, render::solidPen(c));
        drawLine(s, l);
    };
    draw(d.firstLower, kLowerColour);
    draw(d.lastLower, kLowerColour);
    draw(d.tmin, kTminColour);
    draw(d.tmax, kTmaxColour);
}

void drawReadouts(Surface& s, const ParamsHeader& p, const Scales& sc, const Geometry& g) {
    const int32_t x = g.frame.left + g.gx;
    int32_t y = p.chartRect.top;
    const auto line = [&](const std::string& text) {
        s.textOut(x, y, text);
        y += g.th;
    };
    const HitLine& t = p.tminLine;
    line(format(" (%d,%d) - (%d,%d) ", t.x1, t.y1, t.x2, t.y2));
    line(format(" h = %d", t.h));
    const Rect& r = p.plotRect;
    line(format(" (%d,%d) - (%d,%d) ", r.left, r.top, r.right, r.bottom));
    line(format(" w %d, h %d", coordinate(sc.Wp), coordinate(sc.Hp)));
    const int32_t valueX = x + s.textExtent(" pulses = ").cx;
    const auto field = [&](const char* label, const std::string& value) {
        s.textOut(x, y, label);
        s.textOut(valueX, y, value);
        y += g.th;
    };
    field(" a   = ", std::to_string(p.a));
    field(" a+ = ", std::to_string(p.aPlus));
    field(" b-  = ", std::to_string(p.bMinus));
    field(" b   = ", std::to_string(p.b));
    y += g.th;
    field(" Tmin = ", format("%d [%d]    ", p.wTmin, p.previous.wTmin));
    field(" Tmax = ", std::to_string(p.wTmax));
    field(" pulses = ", std::to_string(p.wPulses));
    const int32_t leastBound = p.wTmax > 0 ? (p.bMinus + p.wTmax - p.aPlus - 1) / p.wTmax + 1 : 0;
    field(" Mmin = ", format("%d [%d]     ", p.wMinPulses, leastBound));
    const int32_t mostBound = p.wTmin > 0 ? (p.b - p.a) / p.wTmin + 1 : 0;
    field(" Mmax = ", format("%d [%d]     ", p.wMaxPulses, mostBound));
}

void drawTminEntry(AppSettings& a, Surface& s, ParamsHeader& p, const Geometry& g) {
    const int32_t x = g.frame.left + g.gx;
    const int32_t y = g.frame.bottom - 3 * g.gy - g.th;
    s.textOut(x, y, " Tmin ");
    if (!a.hTminEdit)
        return;
    a.window().moveEditControl(kTminEditId, x + s.textExtent(" Tmin ").cx, y,
                               s.textExtent(" 9999").cx, g.th + 2);
    a.window().showEditControl(kTminEditId, true);
    p.tminEditShown = true;
}

void drawButtons(Surface& s, ParamsHeader& p, const Geometry& g) {
    const int32_t top = g.frame.bottom + g.lh / 2;
    const int32_t left = g.frame.left;
    p.cancelButtonRect = Rect{left, top, left + g.buttonWidth, top + g.buttonHeight};
    const int32_t okLeft = p.cancelButtonRect.right + 2 * g.ach;
    p.okButtonRect = Rect{okLeft, top, okLeft + g.buttonWidth, top + g.buttonHeight};
    ScopedBrush brush(s, render::solidBrush(kLightBackground));
    render::drawPushButton(s, p.cancelButtonRect, " Cancel ", g.lh);
    render::drawPushButton(s, p.okButtonRect, " OK ", g.lh);
}

}  // namespace

void drawParamsScreen(AppSettings& a, Surface& s) {
    ParamsHeader* record = a.lpParamsHeader.get();
    if (!record)
        return;  // the record could not be made: there is no chart to draw
    ParamsHeader& p = *record;
    const Rect& w = a.layout.workAreaRect;
    Geometry g;
    g.gx = (w.right - w.left + 1) / 170;
    g.gy = (w.bottom - w.top + 1) / 131;
    g.lh = a.layout.lineHeight;
    g.ach = a.layout.aveCharWidth;
    g.th = s.textExtent(" 0").cy;
    g.buttonWidth = std::max(s.textExtent(" Cancel ").cx, s.textExtent(" OK ").cx) + 4 * g.ach;
    g.buttonHeight = 2 * g.lh - 1;
    g.frame =
        Rect{w.left + g.gx, w.top + g.gy, w.right - g.gx, w.bottom - 3 * g.gy - g.buttonHeight};
    const bool partial = p.changed == 1 && p.drawn.valid;
    const render::BkMode mode = s.setBkMode(render::BkMode::Transparent);
    const platform::Colour textColour = s.setTextColour(0x000000);
    ScopedPen pen(s, render::solidPen(0x000000));

    const Rect& f = g.frame;
    if (!partial) {
        s.fillRect(Rect{w.left, w.top, w.right + 1, w.bottom + 1}, kLightBackground);
        ScopedBrush brush(s, render::solidBrush(kLightBackground));
        s.rectangle(f.left, f.top, f.right + 1, f.bottom + 1);
    }
    const int32_t fw = f.right - f.left + 1;
    const int32_t fh = f.bottom - f.top + 1;
    p.chartRect = Rect{f.left + fw / 4, f.top + fh / 8, f.right - g.gx, f.bottom - g.gy};
    const Rect& chart = p.chartRect;
    if (!partial) {
        ScopedBrush brush(s, render::solidBrush(kChartBackground));
        s.rectangle(chart.left, chart.top, chart.right + 1, chart.bottom + 1);
    }
    const int32_t bWidth = s.textExtent(std::to_string(p.b)).cx;
    p.plotRect = Rect{chart.left + bWidth + 2 * g.gx, chart.top + 5 * g.gy, chart.right - 5 * g.gx,
                      chart.bottom - 3 * g.th};

    Scales sc;
    sc.left = p.plotRect.left;
    sc.bottom = p.plotRect.bottom;
    sc.Wp = int64_t{p.plotRect.right} - p.plotRect.left;
    sc.Hp = int64_t{p.plotRect.bottom} - p.plotRect.top;
    sc.dm = std::max<int64_t>(int64_t{p.wMaxPulses} - 1, 1);
    sc.db = std::max<int64_t>(int64_t{p.b} - p.a, 1);

    if (partial)
        paintOverPrevious(s, p, g);
    drawAxes(s, p, sc, g);
    drawBoxes(s, p, sc, g);
    drawMarker(s, sc, g, p, p.aPlus, p.drawn.aPlusGuide, p.drawn.aPlusLabel, p.aPlusHandleRect);
    drawMarker(s, sc, g, p, p.bMinus, p.drawn.bMinusGuide, p.drawn.bMinusLabel, p.bMinusHandleRect);
    drawLines(s, p, sc, g);
    p.drawn.valid = true;
    drawReadouts(s, p, sc, g);
    drawTminEntry(a, s, p, g);
    drawButtons(s, p, g);

    p.previous = {p.wPulses, p.aPlus, p.bMinus, p.wTmin, p.wTmax, p.wMaxPulses, p.wMinPulses};
    p.changed = 0;
    s.setTextColour(textColour);
    s.setBkMode(mode);
}

}  // namespace app
