// Drawing speed of ImageSurface on a 1600 × 1000 picture: one repaint-like workload (white
// erase, five 1200-point polylines of 1-pixel pens, 2000 pixels, 40 text lines, a dotted grid,
// rectangles, circles, four button stamps), its parts alone, the same under a clip region, and
// polylines of wider pens. The series screen's paint aims at 4 ms.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "platform/bmp.h"
#include "render/image_surface.h"

namespace {

constexpr int32_t kW = 1600, kH = 1000;

// A deterministic noisy series of 1200 samples in -100..100.
std::vector<int32_t> series() {
    std::vector<int32_t> v(1200);
    uint32_t s = 12345;
    for (size_t i = 0; i < v.size(); ++i) {
        s = s * 1103515245u + 12345u;
        v[i] = static_cast<int32_t>((s >> 16) % 201) - 100;
    }
    return v;
}

void polylines(render::ImageSurface& s, const std::vector<int32_t>& v) {
    // Three graphs; the last one a bold trace of three passes, as the views draw them.
    for (int pass = 0; pass < 5; ++pass) {
        const int32_t base = 150 + std::min(pass, 2) * 250 - (pass == 4);
        const int32_t shift = pass == 3;
        s.selectPen(render::solidPen(pass == 1 ? 0xFF0000 : 0x000000));
        s.moveTo(10 + shift, base + v[0]);
        for (size_t i = 1; i < v.size(); ++i)
            s.lineTo(10 + shift + static_cast<int32_t>(i * 1300 / v.size()), base + v[i]);
    }
}

void pixels(render::ImageSurface& s) {
    for (int32_t i = 0; i < 2000; ++i)
        s.setPixel(10 + i * 13 % 1300, 20 + i * 7 % 900, 0x00A000);
}

void texts(render::ImageSurface& s) {
    char line[96];
    for (int32_t i = 0; i < 40; ++i) {
        std::snprintf(line, sizeof line, " %2d: start %5d etalon %2d cut %2d..%2d distance %8d ", i,
                      40 * i, i % 20 + 1, i % 5, 19 - i % 3, 123456 + i * 977);
        s.textOut(20, 20 + 12 * i, line);
    }
}

void shapes(render::ImageSurface& s) {
    s.selectPen(render::dottedPen(0x808080));
    for (int32_t y = 100; y < 900; y += 40) {
        s.moveTo(10, y);
        s.lineTo(1310, y);
    }
    s.selectPen(render::solidPen(0x000000));
    s.selectBrush(render::Brush{true, 0});
    s.rectangle(5, 5, 1446, 990);
    for (int32_t panel = 0; panel < 3; ++panel) {
        const int32_t top = 10 + panel * 120;
        s.rectangle(1456, top, 1590, top + 100);
        for (int32_t item = 0; item < 3; ++item) {
            s.selectBrush(render::Brush{true, 0});
            s.ellipse(1466, top + 20 + item * 25, 1479, top + 33 + item * 25);
            s.selectBrush(render::solidBrush(item == 0 ? 0x000000 : 0xA3A3A3));
            s.ellipse(1468, top + 22 + item * 25, 1477, top + 31 + item * 25);
        }
    }
}

void BM_RepaintWorkload(benchmark::State& state) {
    platform::Bitmap picture(kW, kH);
    const std::vector<int32_t> v = series();
    std::vector<platform::Bitmap> buttons;
    for (const char* name : {"ButtonExit", "IDB_BITMAP1", "IDB_BITMAP5", "ButtonStart"})
        if (auto b = platform::loadResourceBitmap(name))
            buttons.push_back(std::move(*b));
    for (auto _ : state) {
        render::ImageSurface s(picture);
        s.fillRect(platform::Rect{0, 0, kW, kH}, 0xFFFFFF);
        shapes(s);
        polylines(s, v);
        pixels(s);
        texts(s);
        for (size_t i = 0; i < buttons.size(); ++i)
            s.blit(kW - 154, kH - 42 * static_cast<int32_t>(i + 1), buttons[i]);
        benchmark::DoNotOptimize(picture.pixels.data());
    }
}
BENCHMARK(BM_RepaintWorkload)->Unit(benchmark::kMillisecond);

void BM_Polylines(benchmark::State& state) {
    platform::Bitmap picture(kW, kH);
    const std::vector<int32_t> v = series();
    for (auto _ : state) {
        render::ImageSurface s(picture);
        polylines(s, v);
        benchmark::DoNotOptimize(picture.pixels.data());
    }
}
BENCHMARK(BM_Polylines)->Unit(benchmark::kMicrosecond);

void BM_TextLines(benchmark::State& state) {
    platform::Bitmap picture(kW, kH);
    for (auto _ : state) {
        render::ImageSurface s(picture);
        texts(s);
        benchmark::DoNotOptimize(picture.pixels.data());
    }
}
BENCHMARK(BM_TextLines)->Unit(benchmark::kMicrosecond);

void BM_EraseAndShapes(benchmark::State& state) {
    platform::Bitmap picture(kW, kH);
    for (auto _ : state) {
        render::ImageSurface s(picture);
        s.fillRect(platform::Rect{0, 0, kW, kH}, 0xFFFFFF);
        shapes(s);
        pixels(s);
        benchmark::DoNotOptimize(picture.pixels.data());
    }
}
BENCHMARK(BM_EraseAndShapes)->Unit(benchmark::kMicrosecond);

// The same workload limited by a clip region of two rectangles (a partial repaint).
void BM_RepaintWorkloadClipped(benchmark::State& state) {
    platform::Bitmap picture(kW, kH);
    const std::vector<int32_t> v = series();
    for (auto _ : state) {
        render::ImageSurface s(picture);
        s.setClipRegion({platform::Rect{0, 0, 1450, 1000}, platform::Rect{1400, 0, 1600, 400}});
        s.fillRect(platform::Rect{0, 0, kW, kH}, 0xFFFFFF);
        shapes(s);
        polylines(s, v);
        pixels(s);
        texts(s);
        benchmark::DoNotOptimize(picture.pixels.data());
    }
}
BENCHMARK(BM_RepaintWorkloadClipped)->Unit(benchmark::kMillisecond);

}  // namespace
namespace {
void BM_PolylineWidth(benchmark::State& state) {
    platform::Bitmap picture(kW, kH);
    const std::vector<int32_t> v = series();
    for (auto _ : state) {
        render::ImageSurface s(picture);
        s.selectPen(render::solidPen(0, static_cast<int32_t>(state.range(0))));
        s.moveTo(10, 400 + v[0]);
        for (size_t i = 1; i < v.size(); ++i)
            s.lineTo(10 + static_cast<int32_t>(i * 1300 / v.size()), 400 + v[i]);
        benchmark::DoNotOptimize(picture.pixels.data());
    }
}
BENCHMARK(BM_PolylineWidth)->Arg(1)->Arg(2)->Arg(3)->Unit(benchmark::kMicrosecond);
}  // namespace
