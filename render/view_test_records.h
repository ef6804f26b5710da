#pragma once
// Small hand-made records for the view tests: etalons of a few samples, a series header laid
// out by the real routine with pulses placed by hand, and a chains record filled through the
// insertion rule.

#include <cstdint>
#include <set>
#include <utility>
#include <vector>

#include "engine/chains.h"
#include "platform/window.h"
#include "record_access.h"
#include "recording_surface.h"
#include "screen_layout.h"
#include "series/records.h"
#include "series/series_header.h"

namespace render::testing {

inline series::Alphabet makeEtalons(const std::vector<std::vector<int16_t>>& shapes) {
    series::Alphabet alphabet(shapes.size());
    for (size_t i = 0; i < shapes.size(); ++i) {
        series::PulseHeader& e = alphabet[i];
        e.wAllocated = e.wSize = static_cast<uint16_t>(shapes[i].size());
        e.wNumber = static_cast<uint16_t>(i + 1);
        e.lpData = std::make_unique<int16_t[]>(shapes[i].size());
        std::copy(shapes[i].begin(), shapes[i].end(), e.lpData.get());
    }
    return alphabet;
}

// A header for N samples and etalons of L samples with every pulse slot empty; the pulses list
// points at `alphabet`.
inline series::SeriesHeaderPtr makeHeader(const series::Alphabet& alphabet, uint16_t L, uint32_t N,
                                          uint16_t Tmin = 4, uint16_t Tmax = 40) {
    platform::RecordingWindow window;
    auto h = series::getCutOffSeriesHeader(window, static_cast<uint16_t>(alphabet.size()), L, Tmin,
                                           Tmax, N, nullptr);
    h->wImpulseSize = L;
    h->wAmplitude = 128;
    h->wDefaultCutEnd = static_cast<int16_t>(L - 1);
    for (size_t i = 0; i < alphabet.size(); ++i)
        h->lpPulsesList[i] = &alphabet[i];
    h->lpFirstPulse = &alphabet[0];
    return h;
}

// Appends a true pulse and writes its placed samples into the clean and noisy series.
inline void addPulse(series::SeriesHeader& h, int16_t start, int16_t etalon, int16_t cutBegin,
                     int16_t cutEnd) {
    const uint16_t k = h.wImpulseQuantity++;
    h.lpPulseStart[k] = start;
    h.lpPulseEtalon[k] = etalon;
    h.lpCutBegin[k] = cutBegin;
    h.lpCutEnd[k] = cutEnd;
    const series::PulseHeader* e = h.lpPulsesList[etalon - 1];
    for (int j = cutBegin; j <= cutEnd; ++j)
        h.lpPureData[start + j] = h.lpNoisyData[start + j] = e->lpData[j];
}

inline void setDetected(series::SeriesHeader& h, const std::vector<PulseEntry>& pulses) {
    h.wDetectedQuantity = static_cast<uint16_t>(pulses.size());
    for (size_t k = 0; k < pulses.size(); ++k) {
        h.lpDetectedStart[k] = static_cast<int16_t>(pulses[k].start);
        h.lpDetectedEtalon[k] = static_cast<int16_t>(pulses[k].etalon);
        h.lpDetectedCutBegin[k] = static_cast<int16_t>(pulses[k].cutBegin);
        h.lpDetectedCutEnd[k] = static_cast<int16_t>(pulses[k].cutEnd);
    }
}

// A chains record of 10 rows for P pulses, labelled with the kinds when `seriesKind` is given.
inline engine::ChainsHeaderPtr makeChains(uint16_t P, uint16_t seriesKind = 0,
                                          uint16_t taskKind = 0, uint16_t createLevel = 100,
                                          uint16_t processLevel = 100) {
    platform::RecordingWindow window;
    auto c = engine::getChainsHeader(window, 10, P, nullptr);
    if (seriesKind != 0)
        engine::addToChainsHeader(window, seriesKind, taskKind, createLevel, processLevel, c.get());
    return c;
}

inline void offer(engine::ChainsHeader& c, int32_t distance,
                  const std::vector<PulseEntry>& pulses) {
    std::vector<engine::ChainPulse> row;
    for (const PulseEntry& p : pulses)
        row.push_back({static_cast<int16_t>(p.start), static_cast<int16_t>(p.etalon),
                       static_cast<int16_t>(p.cutBegin), static_cast<int16_t>(p.cutEnd)});
    engine::offerChain(c, distance, row);
}

// The screen layout of a 1280 x 1024 client with 20 etalons and a line height of 12.
inline ScreenLayout defaultScreenLayout() {
    ScreenLayout layout;
    layout.lineHeight = 12;
    layout.aveCharWidth = 6;
    layout.maxCharWidth = 12;
    layoutButtons(layout, 1280, 1024, true);
    layoutCellGrid(layout, 1280, 1024, 20);
    return layout;
}

// Operations of a kind drawn in a colour (pixels and fills) or with a pen colour (lines).
inline std::vector<RecordedOp> opsIn(const RecordingSurface& s, RecordedOp::Kind kind,
                                     Colour colour) {
    std::vector<RecordedOp> out;
    for (const RecordedOp& o : s.ops()) {
        if (o.kind != kind)
            continue;
        const bool byPen = kind == RecordedOp::LineTo || kind == RecordedOp::MoveTo ||
                           kind == RecordedOp::Rectangle || kind == RecordedOp::Ellipse;
        if ((byPen ? o.pen.colour : o.colour) == colour)
            out.push_back(o);
    }
    return out;
}

using Point = std::pair<int32_t, int32_t>;

// The polylines drawn: each MoveTo starts one, each LineTo adds its end point.
inline std::vector<std::vector<Point>> polylines(const RecordingSurface& s) {
    std::vector<std::vector<Point>> out;
    for (const RecordedOp& o : s.ops()) {
        if (o.kind == RecordedOp::MoveTo)
            out.push_back({{o.x1, o.y1}});
        else if (o.kind == RecordedOp::LineTo && !out.empty())
            out.back().push_back({o.x2, o.y2});
    }
    return out;
}

// The distinct pixels set, whatever their colour.
inline std::set<Point> pixels(const RecordingSurface& s) {
    std::set<Point> out;
    for (const RecordedOp& o : s.opsOf(RecordedOp::SetPixel))
        out.insert({o.x1, o.y1});
    return out;
}

}  // namespace render::testing
