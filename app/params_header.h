#pragma once
// The parameter screen's record: the geometry of the current series as an interactive chart
// (pulse counts across, sample positions upward), the start ranges of the first and the last
// pulse, the two interval lines and the hover and drag state of what can be dragged. Every field
// is signed 32-bit; rectangles are inclusive.

#include <cstdint>
#include <memory>

#include "app_settings.h"
#include "platform/geometry.h"
#include "platform/host_window.h"
#include "series/records.h"

namespace app {

using platform::Rect;

// A drawn straight line from (x1, y1) to (x2, y2).
struct LineSegment {
    int32_t x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    bool operator==(const LineSegment&) const = default;
};

// A line that can be grabbed: its end points and the half-width of its hit band.
struct HitLine {
    int32_t x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    int32_t h = 0;
};

struct ParamsHeader {
    int32_t dwAllocatedLength = 0;  // series length for which the box array was last allocated
    int32_t dwSeriesLength = 0;     // N
    int32_t wTmin = 0;              // minimal interval shown and dragged
    int32_t wTmax = 0;              // maximal interval shown and dragged
    int32_t wEtalonLength = 0;      // L
    int32_t wPulses = 0;            // the selected pulse count K
    int32_t wMaxPulses = 0;         // Mmax = (N + Tmin - L) / Tmin
    int32_t wMinPulses = 0;         // Mmin = (N + L - 1) / Tmax
    int32_t a = 0;                  // start range of the first pulse: a .. aPlus
    int32_t aPlus = 0;
    int32_t bMinus = 0;  // start range of the last pulse: bMinus .. b
    int32_t b = 0;
    int32_t wBoxCapacity = 0;  // capacity of pulsesSelectedAreas
    int32_t wBoxCount = 0;     // pulse counts shown: Mmax - Mmin + 1
    Rect chartRect;
    std::unique_ptr<Rect[]> pulsesSelectedAreas;  // one box per pulse count Mmin .. Mmax
    Rect aPlusHandleRect;
    Rect bMinusHandleRect;
    Rect plotRect;  // x grows with the pulse count, y upward with the position
    int32_t aPlusHover = 0, bMinusHover = 0, aPlusDrag = 0, bMinusDrag = 0;
    int32_t changed = 0;  // 1: the next drawing paints over the old lines instead of erasing

    // The values as drawn last: shown in brackets and used to paint over the old lines.
    struct Previous {
        int32_t wPulses = 0, aPlus = 0, bMinus = 0, wTmin = 0, wTmax = 0;
        int32_t wMaxPulses = 0, wMinPulses = 0;
    } previous;

    HitLine tmaxLine;
    int32_t tmaxHover = 0, tmaxDrag = 0;
    HitLine tminLine;
    int32_t tminHover = 0, tminDrag = 0;

    // What the last drawing put on the chart that a partial update paints over.
    struct Drawn {
        bool valid = false;
        LineSegment tmax, tmin, firstLower, lastLower;  // the four lines
        LineSegment aPlusGuide, bMinusGuide;            // the dotted marker guides
        Rect aPlusLabel, bMinusLabel;                   // the framed marker labels
    } drawn;

    // The hit rectangles of the screen's " Cancel " and " OK " buttons.
    Rect cancelButtonRect;
    Rect okButtonRect;

    // The cursor to restore when the pointer leaves the last hovered element.
    platform::CursorShape keptCursor = platform::CursorShape::Arrow;
    // The Tmin edit control is shown beside its label.
    bool tminEditShown = false;
};

// Derives the record from the current series: the start ranges, the pulse-count bounds, a zeroed
// box array for the counts; writes the series' Tmin into the Tmin edit control. No series: `old`
// unchanged. On a failed allocation shows the message, releases the record and returns null.
ParamsHeaderPtr getParamsHeader(platform::HostWindow& window, const series::SeriesHeader* series,
                                ParamsHeaderPtr old);

}  // namespace app
