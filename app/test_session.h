#pragma once
// A headless run of the program for the tests: the window created on a headless host, painted
// as the window system would after every action, with the last paint's operations recorded.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/app_settings.h"
#include "app/commands.h"
#include "app/window_proc.h"
#include "platform/headless_host.h"
#include "render/recording_surface.h"

namespace app::testing {

inline platform::HeadlessHost::BitmapLoader buttonBitmaps() {
    return
        [](std::string_view) { return std::optional<platform::Bitmap>(platform::Bitmap(144, 32)); };
}

struct Session {
    AppSettings a;
    platform::HeadlessHost host;
    render::RecordingSurface surface;  // the last paint

    explicit Session(int32_t width = 1280, int32_t height = 960)
        : host(width, height, false, buttonBitmaps()) {
        WindowMessage create;
        create.id = WindowMessageId::Create;
        create.window = &host;
        EXPECT_EQ(mainWindowProc(a, create), 0);
        paint();
    }
    ~Session() {
        WindowMessage destroy;
        destroy.id = WindowMessageId::Destroy;
        mainWindowProc(a, destroy);
    }

    // Paints what was invalidated (everything when nothing was).
    void paint() {
        host.beginPaint();
        surface.clear();
        WindowMessage m;
        m.id = WindowMessageId::Paint;
        m.surface = &surface;
        mainWindowProc(a, m);
    }
    void send(WindowMessageId id, int32_t x, int32_t y) {
        WindowMessage m;
        m.id = id;
        m.lParam = pointParam(x, y);
        mainWindowProc(a, m);
    }
    void down(int32_t x, int32_t y) { send(WindowMessageId::LeftButtonDown, x, y); }
    void up(int32_t x, int32_t y) { send(WindowMessageId::LeftButtonUp, x, y); }
    void move(int32_t x, int32_t y) {
        send(WindowMessageId::MouseMove, x, y);
        if (host.needsPaint())
            paint();
    }
    // A click, then the paint it asked for.
    void click(int32_t x, int32_t y) {
        down(x, y);
        up(x, y);
        if (host.needsPaint())
            paint();
    }
    void click(const platform::Rect& r) { click((r.left + r.right) / 2, (r.top + r.bottom) / 2); }
    void command(int id) {
        WindowMessage m;
        m.id = WindowMessageId::Command;
        m.wParam = static_cast<uint32_t>(id);
        mainWindowProc(a, m);
        if (host.needsPaint())
            paint();
    }

    // The log lines written since `mark` (an earlier log size).
    std::vector<std::string> logSince(size_t mark) const {
        const auto& log = host.log();
        return {log.begin() + static_cast<std::ptrdiff_t>(std::min(mark, log.size())), log.end()};
    }
    std::vector<platform::Message> messages() const { return host.messages(); }
};

}  // namespace app::testing
