// One full paint of the series screen: the processed series of kind 8 with joint detection on a
// 1600 x 1000 client area, drawn into the picture as the window system asks for it.

#include <benchmark/benchmark.h>

#include "app/app_settings.h"
#include "app/commands.h"
#include "app/paint.h"
#include "app/window_proc.h"
#include "platform/headless_host.h"
#include "render/image_surface.h"

namespace {

std::optional<platform::Bitmap> plainButton(std::string_view) {
    return platform::Bitmap(144, 32, 0xC0C0C0u);
}

void BM_PaintSeriesScreen(benchmark::State& state) {
    platform::HeadlessHost host(1600, 1000, false, plainButton);
    app::AppSettings settings;
    app::computeDerivedInitialValues(settings);
    app::WindowMessage create;
    create.id = app::WindowMessageId::Create;
    create.window = &host;
    app::mainWindowProc(settings, create);
    app::onCommand(settings, app::kCmdUnfixedCutOff);
    app::onCommand(settings, app::kCmdJointDetection);
    {
        render::ImageSurface first(host.picture());
        app::paintMainWindow(settings, first);  // the layout for the command's repaints
    }
    app::onCommand(settings, app::kCmdProcessingNextData);
    if (settings.screenMode != app::kSeriesScreen)
        state.SkipWithError("the series screen is not shown");
    for (auto _ : state) {
        host.invalidateRect(nullptr, true);
        host.beginPaint();
        render::ImageSurface surface(host.picture());
        app::paintMainWindow(settings, surface);
        benchmark::DoNotOptimize(host.picture().pixels.data());
    }
}
BENCHMARK(BM_PaintSeriesScreen)->Unit(benchmark::kMillisecond);

}  // namespace
