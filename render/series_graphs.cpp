#include "series_graphs.h"

#include <algorithm>

#include "series_layout.h"
#include "text_line.h"

namespace render {

namespace {

constexpr Colour kBlack = 0x000000;
constexpr Colour kBlue = 0xFF0000;
constexpr Colour kTupleBackground = 0xB2BFC0;

// A pulse's samples first .. last from the zero line at its start, back to the zero line below
// the last one.
void drawShape(Surface& surface, const GraphMapping& map, int64_t start,
               const EtalonSamples& samples, int32_t first, int32_t last) {
    first = std::max(first, 0);
    last = std::min(last, samples.size - 1);
    if (first > last)
        return;
    surface.moveTo(map.x(start), map.zeroLine());
    for (int32_t j = first; j <= last; ++j)
        surface.lineTo(map.x(start + j), map.y(samples[j]));
    surface.lineTo(map.x(start + last), map.zeroLine());
}

void drawShapes(Surface& surface, const Rect& graph, int32_t E, const series::SeriesHeader& header,
                PulseSet which, bool cut) {
    const SeriesAccess s(header);
    const GraphMapping map(graph, s.length(), E);
    const int32_t n = s.count(which);
    for (int32_t k = 0; k < n; ++k) {
        const PulseEntry pulse = s.pulse(which, k);
        const EtalonSamples samples = s.etalonSamples(pulse.etalon);
        if (cut)
            drawShape(surface, map, pulse.start, samples, pulse.cutBegin, pulse.cutEnd);
        else
            drawShape(surface, map, pulse.start, samples, 0, samples.size - 1);
    }
}

// The dotted vertical pair of a bracket or frame: black pixels in the two columns at rows
// mid - m and mid + m for m = 0, 2, 4, ... below reach.
void dottedColumns(Surface& surface, int32_t a, int32_t x1, int32_t x2, int32_t mid,
                   int32_t reach) {
    for (int32_t m = 0; m < reach; m += 2) {
        surface.setPixel(a + x1, mid - m, kBlack);
        surface.setPixel(a + x1, mid + m, kBlack);
        surface.setPixel(a + x2, mid - m, kBlack);
        surface.setPixel(a + x2, mid + m, kBlack);
    }
}

// The first m of 0, 2, 4, ... not below reach.
int32_t firstStepAtOrAbove(int32_t reach) {
    int32_t m = 0;
    while (m < reach)
        m += 2;
    return m;
}

// The dotted horizontal pair: rows mid - M and mid + M in every second column x1 .. x2.
void dottedRows(Surface& surface, int32_t a, int32_t x1, int32_t x2, int32_t mid, int32_t M) {
    for (int32_t x = x1; x <= x2; x += 2) {
        surface.setPixel(a + x, mid - M, kBlack);
        surface.setPixel(a + x, mid + M, kBlack);
    }
}

// The span of every detected tuple in columns from a, widened by up to two columns each way
// inside the graph, handed to `mark`.
template <class Mark>
void forEachTupleSpan(const series::SeriesHeader& header, const Rect& graph, Mark mark) {
    const SeriesAccess s(header);
    const GraphMapping map(graph, s.length(), 1);
    const int32_t detected = s.count(PulseSet::Detected);
    const int32_t tuples = s.tupleCount();
    const int32_t width = graph.right - graph.left;
    for (int32_t t = 0; t < tuples; ++t) {
        const int32_t first = s.tupleFirst(t) - 1;
        const int32_t last = s.tupleLast(t) - 1;
        if (first < 0 || first >= detected || last < 0 || last >= detected)
            continue;
        int32_t x1 = map.column(s.pulse(PulseSet::Detected, first).start);
        int32_t x2 =
            map.column(int64_t{s.pulse(PulseSet::Detected, last).start} + header.wImpulseSize - 1);
        for (int i = 0; i < 2; ++i)
            if (x2 < width - 1)
                ++x2;
        for (int i = 0; i < 2; ++i)
            if (x1 > 0)
                --x1;
        mark(x1, x2);
    }
}

}  // namespace

void drawGraphAxes(Surface& surface, const Rect& g) {
    surface.moveTo(g.left, g.top);
    surface.lineTo(g.left, g.bottom);
    const int32_t mid = g.top + (g.bottom - g.top) / 2;
    surface.moveTo(g.left, mid);
    surface.lineTo(g.right, mid);
}

void drawGraphOutline(Surface& surface, const Rect& g) {
    surface.rectangle(g.left, g.top, g.right + 1, g.bottom + 1);
}

void drawNoisySeries(Surface& surface, const Rect& graph, int32_t E,
                     const series::SeriesHeader& header) {
    const SeriesAccess s(header);
    const GraphMapping map(graph, s.length(), E);
    ScopedPen pen(surface, solidPen(kBlue));
    surface.moveTo(map.a, map.zeroLine());
    const uint32_t N = s.readableLength();
    for (uint32_t i = 0; i < N; ++i)
        surface.lineTo(map.x(i), map.y(s.noisy(i)));
}

void drawPulseShapes(Surface& surface, const Rect& graph, int32_t E,
                     const series::SeriesHeader& series) {
    drawShapes(surface, graph, E, series, PulseSet::True, false);
}

void drawDetectedShapes(Surface& surface, const Rect& graph, int32_t E,
                        const series::SeriesHeader& series) {
    drawShapes(surface, graph, E, series, PulseSet::Detected, false);
}

void drawCutPulses(Surface& surface, const Rect& graph, int32_t E,
                   const series::SeriesHeader& series) {
    drawShapes(surface, graph, E, series, PulseSet::True, true);
}

void shadePulses(Surface& surface, const Rect& graph, int32_t E,
                 const series::SeriesHeader& header) {
    if (E == 0)
        return;
    const SeriesAccess s(header);
    const GraphMapping map(graph, s.length(), E);
    const int64_t h = int64_t{map.d} - map.b;
    const int64_t half = h / 2;
    // Offset from the top of the curve at value v.
    auto offset = [&](int64_t v) { return h - (v + E) * h / (2 * int64_t{E}); };
    int32_t phase = 0;
    const int32_t K = s.count(PulseSet::True);
    for (int32_t k = 0; k < K; ++k) {
        const PulseEntry pulse = s.pulse(PulseSet::True, k);
        const EtalonSamples e = s.etalonSamples(pulse.etalon);
        const int32_t first = std::max(pulse.cutBegin, 0);
        const int32_t last = std::min(pulse.cutEnd, e.size - 1);
        for (int32_t j = first; j <= last; ++j) {
            const int64_t p = int64_t{pulse.start} + j;
            const int32_t from = map.column(p);
            const int32_t to = j == pulse.cutEnd ? from : map.column(p + 1);
            const int64_t w = int64_t{to} - from;
            int64_t g = offset(e[j]);
            const int64_t m = j + 1 < e.size ? offset(e[j + 1]) - g : 0;
            for (int32_t x = from; x < to; ++x) {
                if (g > half) {
                    for (int64_t r = half + phase; r < g; r += 2)
                        surface.setPixel(map.a + x, static_cast<int32_t>(map.b + r), kBlack);
                } else {
                    for (int64_t r = half - phase; r > g; r -= 2)
                        surface.setPixel(map.a + x, static_cast<int32_t>(map.b + r), kBlack);
                }
                phase ^= 1;
                if (w > 0)
                    g = (m + g * w) / w;
            }
        }
    }
}

void drawPulseLabels(Surface& surface, const Rect& graph, uint16_t seriesKind, PulseSet which,
                     bool withNames, const series::SeriesHeader& header) {
    const SeriesAccess s(header);
    const GraphMapping map(graph, s.length(), 1);
    const bool cutOff = seriesKind == 2 || seriesKind == 8;
    const int32_t n = s.count(which);
    for (int32_t k = 0; k < n; ++k) {
        const PulseEntry pulse = s.pulse(which, k);
        TextLine label;
        label.add("%d", pulse.start);
        if (withNames)
            label.addChar(etalonLetter(pulse.etalon));
        if (cutOff)
            label.add("[%d..%d] ", pulse.cutBegin, pulse.cutEnd);
        surface.textOut(map.x(pulse.start) - 5, map.d - 1, label.str());
    }
}

void bracketDetectedPulses(Surface& surface, const series::SeriesHeader& header,
                           const Rect& graph) {
    const SeriesAccess s(header);
    const GraphMapping map(graph, s.length(), 1);
    const int32_t mid = map.zeroLine();
    const int32_t reach = (map.d - map.b) / 3;
    const int32_t M = firstStepAtOrAbove(reach);
    const int32_t n = s.count(PulseSet::Detected);
    for (int32_t k = 0; k < n; ++k) {
        const PulseEntry pulse = s.pulse(PulseSet::Detected, k);
        const int64_t p = pulse.start;
        const int32_t x1 = map.column(p);
        const int32_t x2 = map.column(p + header.wImpulseSize - 1);
        dottedColumns(surface, map.a, x1, x2, mid, reach);
        dottedRows(surface, map.a, x1, x2, mid, M);
        dottedColumns(surface, map.a, map.column(p + pulse.cutBegin), map.column(p + pulse.cutEnd),
                      mid, reach);
    }
}

void frameDetectedTuples(Surface& surface, const series::SeriesHeader& header, const Rect& graph) {
    const int32_t mid = graph.top + (graph.bottom - graph.top) / 2;
    const int32_t reach = 3 * (graph.bottom - graph.top) / 8;
    const int32_t M = firstStepAtOrAbove(reach);
    forEachTupleSpan(header, graph, [&](int32_t x1, int32_t x2) {
        dottedColumns(surface, graph.left, x1, x2, mid, reach);
        dottedRows(surface, graph.left, x1, x2, mid, M);
    });
}

void fillDetectedTuples(Surface& surface, const series::SeriesHeader& header, const Rect& graph) {
    const int32_t mid = graph.top + (graph.bottom - graph.top) / 2;
    const int32_t reach = 3 * (graph.bottom - graph.top) / 8;
    ScopedPen pen(surface, solidPen(kTupleBackground));
    ScopedBrush brush(surface, solidBrush(kTupleBackground));
    forEachTupleSpan(header, graph, [&](int32_t x1, int32_t x2) {
        surface.rectangle(graph.left + x1, mid - reach, graph.left + x2, mid + reach);
    });
}

void drawTupleMarks(Surface& surface, const series::SeriesHeader& series, const Rect& graph,
                    int32_t tuplesHighlight) {
    if (tuplesHighlight == 1)
        frameDetectedTuples(surface, series, graph);
    else if (tuplesHighlight == 2)
        fillDetectedTuples(surface, series, graph);
}

}  // namespace render
