#include "image_surface.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "text_engine.h"

namespace render {

namespace {

// Styled pens repeat every 24 pixels; bit i of a mask is set where position i is drawn.
constexpr uint32_t kStylePeriod = 24;

constexpr uint32_t runsMask(std::initializer_list<int> runs) {
    uint32_t mask = 0;
    uint32_t pos = 0;
    bool on = true;
    while (pos < kStylePeriod)
        for (int run : runs) {
            for (int i = 0; i < run && pos < kStylePeriod; ++i, ++pos)
                if (on)
                    mask |= 1u << pos;
            on = !on;
        }
    return mask;
}

constexpr uint32_t styleMask(PenStyle style) {
    switch (style) {
        case PenStyle::Dash:
            return runsMask({18, 6});
        case PenStyle::Dot:
            return runsMask({3, 3});
        case PenStyle::DashDot:
            return runsMask({9, 6, 3, 6});
        case PenStyle::DashDotDot:
            return runsMask({9, 3, 3, 3, 3, 3});
        default:
            return ~0u;
    }
}

int64_t floorDiv2(int64_t v) {
    return v >= 0 ? v / 2 : -((1 - v) / 2);
}
int64_t ceilDiv2(int64_t v) {
    return -floorDiv2(-v);
}

using U128 = unsigned __int128;

int64_t isqrt(U128 v) {
    U128 r = static_cast<U128>(std::sqrt(static_cast<double>(v)));
    while (r > 0 && r * r > v)
        --r;
    while ((r + 1) * (r + 1) <= v)
        ++r;
    return static_cast<int64_t>(r);
}

// The pixels x of row y inside the ellipse inscribed in the W × H pixels from (l, t): those
// whose centres satisfy ((x + 1/2 - cx) / (W/2))² + ((y + 1/2 - cy) / (H/2))² <= 1. A row of
// the box that no centre reaches (very thin ellipses) keeps its middle pixel or two, so the
// ellipse always touches the top and bottom of its box. False outside the box's rows.
bool ellipseRow(int64_t l, int64_t t, int64_t W, int64_t H, int64_t y, int64_t& xs, int64_t& xe) {
    if (W <= 0 || H <= 0 || y < t || y >= t + H)
        return false;
    const int64_t v = 2 * (y - t) + 1 - H;  // |v| < H
    int64_t umax;
    if (W < (int64_t{1} << 31) && H < (int64_t{1} << 31)) {  // exact: the products fit
        using I128 = __int128;
        umax = isqrt(static_cast<U128>(I128{W} * W * (I128{H} * H - I128{v} * v) / (I128{H} * H)));
    } else {  // boxes far larger than any picture: precision does not matter
        const long double f = static_cast<long double>(v) / static_cast<long double>(H);
        umax = static_cast<int64_t>(static_cast<long double>(W) * std::sqrt(1.0L - f * f));
    }
    xs = ceilDiv2(2 * l + W - 1 - umax);
    xe = floorDiv2(2 * l + W - 1 + umax);
    if (xs > xe) {
        xs = l + (W - 1) / 2;
        xe = l + W / 2;
    }
    return true;
}

}  // namespace

ImageSurface::ImageSurface(Bitmap& picture)
    : ImageSurface(picture.width > 0 && picture.height > 0 &&
                           picture.pixels.size() >= static_cast<size_t>(picture.width) *
                                                        static_cast<size_t>(picture.height)
                       ? picture.pixels.data()
                       : nullptr,
                   picture.width, picture.height, picture.width) {}

ImageSurface::ImageSurface(uint32_t* pixels, int32_t width, int32_t height, int32_t stride)
    : pixels_(pixels), width_(width), height_(height), stride_(stride) {
    if (!pixels || width <= 0 || height <= 0 || stride < width) {
        pixels_ = nullptr;
        width_ = height_ = stride_ = 0;
    }
    box_ = Rect{0, 0, width_, height_};
}

void ImageSurface::setClipRegion(std::vector<Rect> region) {
    clip_ = std::move(region);
    bands_.clear();
    spans_.clear();
    box_ = Rect{0, 0, width_, height_};
    region_ = false;
    if (clip_.empty())
        return;

    std::vector<Rect> rects;
    std::vector<int32_t> edges;
    for (const Rect& r : clip_) {
        const Rect c{std::max(r.left, 0), std::max(r.top, 0), std::min(r.right, width_),
                     std::min(r.bottom, height_)};
        if (c.empty())
            continue;
        rects.push_back(c);
        edges.push_back(c.top);
        edges.push_back(c.bottom);
    }
    std::sort(edges.begin(), edges.end());
    edges.erase(std::unique(edges.begin(), edges.end()), edges.end());

    // One band per stretch between consecutive edges, merging equal neighbours.
    std::vector<Span> row;
    for (size_t e = 0; e + 1 < edges.size(); ++e) {
        const int32_t top = edges[e], bottom = edges[e + 1];
        row.clear();
        for (const Rect& r : rects)
            if (r.top <= top && bottom <= r.bottom)
                row.push_back({r.left, r.right});
        std::sort(row.begin(), row.end(),
                  [](const Span& a, const Span& b) { return a.left < b.left; });
        std::vector<Span> merged;
        for (const Span& s : row)
            if (!merged.empty() && s.left <= merged.back().right)
                merged.back().right = std::max(merged.back().right, s.right);
            else
                merged.push_back(s);
        if (merged.empty())
            continue;
        if (!bands_.empty() && bands_.back().bottom == top &&
            bands_.back().count == merged.size() &&
            std::equal(merged.begin(), merged.end(), spans_.begin() + bands_.back().first,
                       [](const Span& a, const Span& b) {
                           return a.left == b.left && a.right == b.right;
                       })) {
            bands_.back().bottom = bottom;
            continue;
        }
        bands_.push_back({top, bottom, static_cast<uint32_t>(spans_.size()),
                          static_cast<uint32_t>(merged.size())});
        spans_.insert(spans_.end(), merged.begin(), merged.end());
    }

    if (bands_.empty()) {
        box_ = Rect{0, 0, 0, 0};  // a region that covers nothing of the picture
        return;
    }
    box_ = Rect{std::numeric_limits<int32_t>::max(), bands_.front().top,
                std::numeric_limits<int32_t>::min(), bands_.back().bottom};
    for (const Span& s : spans_) {
        box_.left = std::min(box_.left, s.left);
        box_.right = std::max(box_.right, s.right);
    }
    // A region that is one rectangle is its bounding box: the fast path applies.
    region_ = !(bands_.size() == 1 && spans_.size() == 1);
}

const ImageSurface::Band* ImageSurface::bandAt(int32_t y) const {
    auto it = std::upper_bound(bands_.begin(), bands_.end(), y,
                               [](int32_t v, const Band& b) { return v < b.top; });
    if (it == bands_.begin())
        return nullptr;
    --it;
    return y < it->bottom ? &*it : nullptr;
}

bool ImageSurface::visible(int64_t x, int64_t y) const {
    if (!inBox(x, y))
        return false;
    if (!region_)
        return true;
    const Band* band = bandAt(static_cast<int32_t>(y));
    return band && inSpans(*band, x);
}

bool ImageSurface::inSpans(const Band& band, int64_t x) const {
    for (uint32_t i = band.first; i < band.first + band.count; ++i)
        if (x >= spans_[i].left && x < spans_[i].right)
            return true;
    return false;
}

template <class F>
void ImageSurface::forEachVisibleRun(int64_t y, int64_t left, int64_t right, F&& f) const {
    if (y < box_.top || y >= box_.bottom)
        return;
    const int64_t l = std::max<int64_t>(left, box_.left);
    const int64_t r = std::min<int64_t>(right, box_.right);
    if (l >= r)
        return;
    if (!region_) {
        f(static_cast<int32_t>(y), static_cast<int32_t>(l), static_cast<int32_t>(r));
        return;
    }
    const Band* band = bandAt(static_cast<int32_t>(y));
    if (!band)
        return;
    for (uint32_t i = band->first; i < band->first + band->count; ++i) {
        const int64_t a = std::max<int64_t>(l, spans_[i].left);
        const int64_t b = std::min<int64_t>(r, spans_[i].right);
        if (a < b)
            f(static_cast<int32_t>(y), static_cast<int32_t>(a), static_cast<int32_t>(b));
    }
}

void ImageSurface::fillSpan(int64_t y, int64_t left, int64_t right, uint32_t pixel) {
    forEachVisibleRun(y, left, right, [&](int32_t yy, int32_t a, int32_t b) {
        std::fill(row(yy) + a, row(yy) + b, pixel);
    });
}

void ImageSurface::fillBox(int64_t left, int64_t top, int64_t right, int64_t bottom,
                           uint32_t pixel) {
    const int64_t t = std::max<int64_t>(top, box_.top);
    const int64_t b = std::min<int64_t>(bottom, box_.bottom);
    for (int64_t y = t; y < b; ++y)
        fillSpan(y, left, right, pixel);
}

Pen ImageSurface::selectPen(const Pen& pen) {
    return std::exchange(pen_, pen);
}
Brush ImageSurface::selectBrush(const Brush& brush) {
    return std::exchange(brush_, brush);
}
Font ImageSurface::selectFont(const Font& font) {
    return std::exchange(font_, font);
}
Colour ImageSurface::setTextColour(Colour colour) {
    return std::exchange(textColour_, colour);
}
Colour ImageSurface::setBkColour(Colour colour) {
    return std::exchange(bkColour_, colour);
}
Colour ImageSurface::bkColour() const {
    return bkColour_;
}
BkMode ImageSurface::setBkMode(BkMode mode) {
    return std::exchange(bkMode_, mode);
}

TextMetrics ImageSurface::textMetrics() {
    return TextEngine::shared().metrics(font_);
}

Size ImageSurface::textExtent(std::string_view text) {
    return TextEngine::shared().extent(font_, text);
}

void ImageSurface::textOut(int32_t x, int32_t y, std::string_view text) {
    if (!pixels_ || text.empty())
        return;
    const TextRun run = TextEngine::shared().layout(font_, text);
    const int64_t right = int64_t{x} + run.width;
    const int64_t bottom = int64_t{y} + run.metrics.height;
    if (bkMode_ == BkMode::Opaque)
        fillBox(x, y, right, bottom, toPixel(bkColour_));

    const uint32_t ink = toPixel(textColour_);
    const uint32_t inkR = ink >> 16 & 0xFF, inkG = ink >> 8 & 0xFF, inkB = ink & 0xFF;
    for (const TextRun::Item& item : run.items) {
        const Glyph& g = *item.glyph;
        const int64_t gx = int64_t{x} + item.penX + g.left;
        const int64_t gy = int64_t{y} + run.metrics.ascent - g.top;
        const int64_t left = std::max<int64_t>(gx, x);
        const int64_t limit = std::min<int64_t>(gx + g.width, right);
        for (int32_t r = 0; r < g.rows; ++r) {
            const int64_t yy = gy + r;
            if (yy < y || yy >= bottom)
                continue;
            const uint8_t* cov = g.coverage.data() + static_cast<size_t>(r) * g.width;
            forEachVisibleRun(yy, left, limit, [&](int32_t py, int32_t a, int32_t b) {
                uint32_t* dst = row(py);
                for (int32_t px = a; px < b; ++px) {
                    const uint32_t c = cov[px - gx];
                    if (c == 0)
                        continue;
                    if (c == 255) {
                        dst[px] = ink;
                        continue;
                    }
                    const uint32_t d = dst[px], k = 255 - c;
                    const uint32_t red = (inkR * c + (d >> 16 & 0xFF) * k + 127) / 255;
                    const uint32_t green = (inkG * c + (d >> 8 & 0xFF) * k + 127) / 255;
                    const uint32_t blue = (inkB * c + (d & 0xFF) * k + 127) / 255;
                    dst[px] = 0xFF000000u | red << 16 | green << 8 | blue;
                }
            });
        }
    }
}

void ImageSurface::moveTo(int32_t x, int32_t y) {
    x_ = x;
    y_ = y;
    phase_ = 0;
}

void ImageSurface::lineTo(int32_t x, int32_t y) {
    if (pixels_ && pen_.style != PenStyle::Null) {
        if (pen_.width > 1)
            wideLine(x_, y_, x, y, pen_.width, toPixel(pen_.colour));
        else
            thinLine(x_, y_, x, y, phase_);
    }
    x_ = x;
    y_ = y;
}

// Steps first..last of a 1-pixel line: step i paints major = m0 + ms·i and
// minor = n0 + ns·floor((2·i·minor + major - 1) / (2·major)).
template <bool Region, bool Styled>
void ImageSurface::thinLineSteps(const LineSteps& s, int64_t first, int64_t last, uint32_t phase) {
    const uint32_t ink = toPixel(pen_.colour);
    const uint32_t gap = toPixel(bkColour_);
    const bool paintGaps = bkMode_ == BkMode::Opaque;
    const uint32_t mask = styleMask(pen_.style);
    const int64_t twoMajor = 2 * s.major, twoMinor = 2 * s.minor;
    using I128 = __int128;

    // Keep only the steps whose minor coordinate n0 + ns·k lies inside the box too: k from kLo
    // to kHi. k(i) >= K when 2·i·minor + major - 1 >= 2·major·K; k(i) <= K when
    // 2·i·minor <= 2·major·(K + 1) - major.
    const int64_t minorLo = s.xMajor ? box_.top : box_.left;
    const int64_t minorHi = (s.xMajor ? box_.bottom : box_.right) - 1;
    const int64_t kLo = s.ns > 0 ? minorLo - s.n0 : s.n0 - minorHi;
    const int64_t kHi = s.ns > 0 ? minorHi - s.n0 : s.n0 - minorLo;
    if (kHi < 0)
        return;
    if (s.minor == 0) {
        if (kLo > 0)
            return;
    } else {
        if (kLo > 0) {
            const I128 num = I128{twoMajor} * kLo - s.major + 1;
            first = std::max(first, static_cast<int64_t>((num + twoMinor - 1) / twoMinor));
        }
        const I128 num = I128{twoMajor} * (kHi + 1) - s.major;
        last = std::min(last, static_cast<int64_t>(num / twoMinor));
    }
    if (first > last)
        return;

    const I128 start = I128{2 * first} * s.minor + s.major - 1;
    int64_t rem = static_cast<int64_t>(start % twoMajor);
    int64_t x =
        s.xMajor ? s.m0 + s.ms * first : s.n0 + s.ns * static_cast<int64_t>(start / twoMajor);
    int64_t y =
        s.xMajor ? s.n0 + s.ns * static_cast<int64_t>(start / twoMajor) : s.m0 + s.ms * first;
    uint32_t* p = row(static_cast<int32_t>(y)) + x;
    // Pointer and coordinate moves of a major and of a minor step.
    const ptrdiff_t majorStep = s.xMajor ? s.ms : s.ms * stride_;
    const ptrdiff_t minorStep = s.xMajor ? s.ns * stride_ : s.ns;
    const int64_t majorDx = s.xMajor ? s.ms : 0, majorDy = s.xMajor ? 0 : s.ms;
    const int64_t minorDx = s.xMajor ? 0 : s.ns, minorDy = s.xMajor ? s.ns : 0;
    uint32_t ph = static_cast<uint32_t>((phase + first % kStylePeriod) % kStylePeriod);
    const Band* band = nullptr;  // the band of the last row looked up (Region only)
    for (int64_t i = first;; ++i) {
        bool inside = true;
        if (Region) {
            if (!band || y < band->top || y >= band->bottom)
                band = bandAt(static_cast<int32_t>(y));
            inside = band && inSpans(*band, x);
        }
        if (inside) {
            if (!Styled || (mask >> ph & 1))
                *p = ink;
            else if (paintGaps)
                *p = gap;
        }
        if (i == last)
            break;
        p += majorStep;
        if (Region)
            x += majorDx, y += majorDy;
        rem += twoMinor;
        if (rem >= twoMajor) {
            rem -= twoMajor;
            p += minorStep;
            if (Region)
                x += minorDx, y += minorDy;
        }
        if (Styled && ++ph == kStylePeriod)
            ph = 0;
    }
}

void ImageSurface::thinLine(int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint32_t& phase) {
    const int64_t dx = int64_t{x1} - x0, dy = int64_t{y1} - y0;
    const int64_t adx = dx < 0 ? -dx : dx, ady = dy < 0 ? -dy : dy;
    const int64_t n = std::max(adx, ady);
    if (n == 0)
        return;
    LineSteps s;
    s.xMajor = adx >= ady;
    s.major = s.xMajor ? adx : ady;
    s.minor = s.xMajor ? ady : adx;
    s.m0 = s.xMajor ? x0 : y0;
    s.n0 = s.xMajor ? y0 : x0;
    s.ms = (s.xMajor ? dx : dy) < 0 ? -1 : 1;
    s.ns = (s.xMajor ? dy : dx) < 0 ? -1 : 1;
    // Only the steps whose major coordinate lies inside the box.
    const int64_t lo = s.xMajor ? box_.left : box_.top;
    const int64_t hi = (s.xMajor ? box_.right : box_.bottom) - 1;
    int64_t first = s.ms > 0 ? lo - s.m0 : s.m0 - hi;
    int64_t last = s.ms > 0 ? hi - s.m0 : s.m0 - lo;
    first = std::max<int64_t>(first, 0);
    last = std::min<int64_t>(last, n - 1);
    if (first <= last) {
        const bool styled = pen_.style != PenStyle::Solid;
        if (region_)
            styled ? thinLineSteps<true, true>(s, first, last, phase)
                   : thinLineSteps<true, false>(s, first, last, phase);
        else
            styled ? thinLineSteps<false, true>(s, first, last, phase)
                   : thinLineSteps<false, false>(s, first, last, phase);
    }
    phase = static_cast<uint32_t>((phase + n % kStylePeriod) % kStylePeriod);
}

void ImageSurface::wideLine(int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t width,
                            uint32_t pixel) {
    const double r = width / 2.0, r2 = r * r;
    const double o = width % 2 == 0 ? 0.5 : 0.0;  // pixel centres' offset for even widths
    const double ax = x0, ay = y0, bx = x1, by = y1;
    const double len = std::hypot(bx - ax, by - ay);
    // The edges of the segment's body, the segment moved by ±r across itself: on row ys an edge
    // from ylo to yhi crosses at x = x0 + (ys - y0) · k (a flat edge: from xa to xb).
    struct Edge {
        double ylo, yhi, y0, x0, k;
        bool flat;
    };
    Edge edges[4];
    int edgeCount = 0;
    if (len > 0) {
        const double nx = -(by - ay) / len * r, ny = (bx - ax) / len * r;
        const double q[4][2] = {
            {ax + nx, ay + ny}, {bx + nx, by + ny}, {bx - nx, by - ny}, {ax - nx, ay - ny}};
        for (int e = 0; e < 4; ++e) {
            const double* p = q[e];
            const double* n = q[(e + 1) % 4];
            const bool flat = p[1] == n[1];
            edges[edgeCount++] = {std::min(p[1], n[1]),
                                  std::max(p[1], n[1]),
                                  p[1],
                                  flat ? std::min(p[0], n[0]) : p[0],
                                  flat ? std::max(p[0], n[0]) : (n[0] - p[0]) / (n[1] - p[1]),
                                  flat};
        }
    }
    const int64_t top =
        std::max<int64_t>(box_.top, static_cast<int64_t>(std::floor(std::min(ay, by) - r - o)));
    const int64_t bottom = std::min<int64_t>(
        box_.bottom - 1, static_cast<int64_t>(std::ceil(std::max(ay, by) + r - o)));
    // Span ends are limited to just outside the box before converting to integers.
    const double limitLo = box_.left - 2.0, limitHi = box_.right + 2.0;
    for (int64_t y = top; y <= bottom; ++y) {
        const double ys = static_cast<double>(y) + o;
        double lo = limitHi, hi = limitLo;
        for (const auto& [cx, cy] : {std::pair{ax, ay}, std::pair{bx, by}}) {
            const double d = ys - cy;
            if (d * d <= r2) {
                const double h = std::sqrt(r2 - d * d);
                lo = std::min(lo, cx - h);
                hi = std::max(hi, cx + h);
            }
        }
        for (int e = 0; e < edgeCount; ++e) {
            const Edge& g = edges[e];
            if (ys < g.ylo || ys > g.yhi)
                continue;
            const double xa = g.flat ? g.x0 : g.x0 + (ys - g.y0) * g.k;
            const double xb = g.flat ? g.k : xa;
            lo = std::min(lo, xa);
            hi = std::max(hi, xb);
        }
        lo = std::max(lo - o, limitLo);
        hi = std::min(hi - o, limitHi);
        if (lo > hi)
            continue;
        // The pixels whose centre lies in [lo, hi]: ceil(lo) .. floor(hi).
        int64_t xs = static_cast<int64_t>(lo), xe = static_cast<int64_t>(hi);
        xs += static_cast<double>(xs) < lo;
        xe -= static_cast<double>(xe) > hi;
        fillSpan(y, xs, xe + 1, pixel);
    }
}

void ImageSurface::rectangle(int32_t left, int32_t top, int32_t right, int32_t bottom) {
    if (!pixels_)
        return;
    const int64_t l = std::min(left, right), r = std::max(left, right);
    const int64_t t = std::min(top, bottom), b = std::max(top, bottom);
    if (l == r || t == b)
        return;
    const bool pen = pen_.style != PenStyle::Null;
    if (!brush_.hollow)
        pen ? fillBox(l + 1, t + 1, r - 1, b - 1, toPixel(brush_.colour))
            : fillBox(l, t, r - 1, b - 1, toPixel(brush_.colour));
    if (!pen)
        return;
    if (pen_.width <= 1 && pen_.style == PenStyle::Solid) {
        const uint32_t ink = toPixel(pen_.colour);
        fillSpan(t, l, r, ink);
        fillSpan(b - 1, l, r, ink);
        fillBox(l, t + 1, l + 1, b - 1, ink);
        fillBox(r - 1, t + 1, r, b - 1, ink);
        return;
    }
    // Styled or wide: the outline as a closed polyline clockwise from the top-left corner.
    const int32_t x0 = static_cast<int32_t>(l), y0 = static_cast<int32_t>(t);
    const int32_t x1 = static_cast<int32_t>(r - 1), y1 = static_cast<int32_t>(b - 1);
    const int32_t corners[5][2] = {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}, {x0, y0}};
    uint32_t phase = 0;
    for (int i = 0; i < 4; ++i) {
        const auto& p = corners[i];
        const auto& q = corners[i + 1];
        if (pen_.width > 1)
            wideLine(p[0], p[1], q[0], q[1], pen_.width, toPixel(pen_.colour));
        else
            thinLine(p[0], p[1], q[0], q[1], phase);
    }
}

void ImageSurface::ellipse(int32_t left, int32_t top, int32_t right, int32_t bottom) {
    if (!pixels_)
        return;
    const int64_t l = std::min(left, right), r = std::max(left, right);
    const int64_t t = std::min(top, bottom), b = std::max(top, bottom);
    const int64_t W = r - l, H = b - t;
    if (W <= 0 || H <= 0)
        return;
    const bool fill = !brush_.hollow;
    const uint32_t paint = toPixel(brush_.colour);
    const uint32_t ink = toPixel(pen_.colour);
    int64_t xs, xe;

    if (pen_.style == PenStyle::Null) {
        if (!fill)
            return;
        for (int64_t y = std::max<int64_t>(t, box_.top); y < std::min<int64_t>(b, box_.bottom); ++y)
            if (ellipseRow(l, t, W - 1, H - 1, y, xs, xe))
                fillSpan(y, xs, xe + 1, paint);
        return;
    }

    if (pen_.width > 1) {
        // A ring centred on the 1-pixel outline: `lo` pixels outside it, `hi` inside.
        const int64_t lo = pen_.width / 2, hi = pen_.width - 1 - lo;
        const int64_t ol = l - lo, ot = t - lo, oW = W + pen_.width - 1, oH = H + pen_.width - 1;
        const int64_t il = l + hi + 1, it = t + hi + 1, iW = W - pen_.width - 1,
                      iH = H - pen_.width - 1;
        const int64_t y0 = std::max<int64_t>(ot, box_.top);
        const int64_t y1 = std::min<int64_t>(ot + oH, box_.bottom);
        for (int64_t y = y0; y < y1; ++y) {
            if (!ellipseRow(ol, ot, oW, oH, y, xs, xe))
                continue;
            int64_t is, ie;
            if (ellipseRow(il, it, iW, iH, y, is, ie)) {
                if (fill)
                    fillSpan(y, is, ie + 1, paint);
                fillSpan(y, xs, is, ink);
                fillSpan(y, ie + 1, xe + 1, ink);
            } else {
                fillSpan(y, xs, xe + 1, ink);
            }
        }
        return;
    }

    // 1-pixel outline: the pixels of the shape with a 4-neighbour outside it.
    auto span = [&](int64_t y, int64_t& s, int64_t& e) {
        if (!ellipseRow(l, t, W, H, y, s, e)) {
            s = 1;
            e = 0;  // empty
        }
    };
    const int64_t y0 = std::max<int64_t>(t, box_.top);
    const int64_t y1 = std::min<int64_t>(b, box_.bottom);
    if (y0 >= y1)
        return;
    int64_t ps, pe, cs, ce, ns, ne;
    span(y0 - 1, ps, pe);
    span(y0, cs, ce);
    for (int64_t y = y0; y < y1; ++y) {
        span(y + 1, ns, ne);
        const int64_t is = std::max({cs + 1, ps, ns});
        const int64_t ie = std::min({ce - 1, pe, ne});
        if (is <= ie) {
            if (fill)
                fillSpan(y, is, ie + 1, paint);
            fillSpan(y, cs, is, ink);
            fillSpan(y, ie + 1, ce + 1, ink);
        } else {
            fillSpan(y, cs, ce + 1, ink);
        }
        ps = cs, pe = ce;
        cs = ns, ce = ne;
    }
}

void ImageSurface::fillRect(const Rect& rect, Colour colour) {
    if (pixels_)
        fillBox(rect.left, rect.top, rect.right, rect.bottom, toPixel(colour));
}

void ImageSurface::setPixel(int32_t x, int32_t y, Colour colour) {
    if (pixels_ && visible(x, y))
        row(y)[x] = toPixel(colour);
}

Colour ImageSurface::getPixel(int32_t x, int32_t y) {
    if (!pixels_ || !visible(x, y))
        return kInvalidColour;
    return platform::pixelToColour(row(y)[x] & 0xFFFFFFu);
}

void ImageSurface::blit(int32_t x, int32_t y, const Bitmap& bitmap) {
    if (!pixels_ || bitmap.width <= 0 || bitmap.height <= 0 ||
        bitmap.pixels.size() <
            static_cast<size_t>(bitmap.width) * static_cast<size_t>(bitmap.height))
        return;
    for (int32_t r = 0; r < bitmap.height; ++r) {
        const uint32_t* src = bitmap.pixels.data() + static_cast<size_t>(r) * bitmap.width;
        forEachVisibleRun(int64_t{y} + r, x, int64_t{x} + bitmap.width,
                          [&](int32_t py, int32_t a, int32_t b) {
                              uint32_t* dst = row(py);
                              for (int32_t px = a; px < b; ++px)
                                  dst[px] = 0xFF000000u | src[px - x];
                          });
    }
}

}  // namespace render
