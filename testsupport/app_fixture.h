#pragma once
// The desktop program on a headless host, for tests: start-up as window creation, paints through
// a recording surface, and the messages a user's actions send.

#include <set>
#include <string>

#include "app/app_settings.h"
#include "app/window_proc.h"
#include "platform/headless_host.h"
#include "render/recording_surface.h"

namespace testsupport {

// Plain 144 x 32 button bitmaps; names in `failing` cannot be loaded.
inline platform::HeadlessHost::BitmapLoader fakeBitmaps(std::set<std::string> failing = {}) {
    return [failing](std::string_view name) -> std::optional<platform::Bitmap> {
        if (failing.count(std::string(name)))
            return std::nullopt;
        return platform::Bitmap(144, 32, 0xC0C0C0u);
    };
}

struct AppFixture {
    explicit AppFixture(int32_t width = 1280, int32_t height = 960,
                        std::set<std::string> failingBitmaps = {})
        : host(width, height, false, fakeBitmaps(std::move(failingBitmaps))) {
        app::computeDerivedInitialValues(app);
    }

    // Window creation; true when it was not refused.
    bool create() {
        app::WindowMessage m;
        m.id = app::WindowMessageId::Create;
        m.window = &host;
        return app::mainWindowProc(app, m) == 0;
    }

    // Paints the whole client area on a recording surface (char width 6, line height 12).
    render::RecordingSurface paint() {
        host.beginPaint();
        render::RecordingSurface surface(6, 13, 0);
        app::WindowMessage m;
        m.id = app::WindowMessageId::Paint;
        m.surface = &surface;
        app::mainWindowProc(app, m);
        return surface;
    }

    void send(app::WindowMessageId id, uint32_t wParam = 0, uint32_t lParam = 0) {
        app::WindowMessage m;
        m.id = id;
        m.wParam = wParam;
        m.lParam = lParam;
        app::mainWindowProc(app, m);
    }
    void command(int id) { send(app::WindowMessageId::Command, static_cast<uint32_t>(id)); }
    void click(int32_t x, int32_t y) {
        send(app::WindowMessageId::LeftButtonDown, 1, app::pointParam(x, y));
        send(app::WindowMessageId::LeftButtonUp, 0, app::pointParam(x, y));
    }
    void clickCentre(const platform::Rect& r) {
        click((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    }

    platform::HeadlessHost host;
    app::AppSettings app;
};

}  // namespace testsupport
