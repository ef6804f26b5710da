#include "headless_session.h"

#include "render/image_surface.h"
#include "window_proc.h"

namespace app {

bool HeadlessSession::create() {
    WindowMessage m;
    m.id = WindowMessageId::Create;
    m.window = &host_;
    if (mainWindowProc(app_, m) != 0)
        return false;
    created_ = true;
    host_.invalidateRect(nullptr, true);
    paint();
    return true;
}

void HeadlessSession::paint() {
    if (!alive() || !host_.needsPaint())
        return;
    std::vector<platform::Rect> region = host_.beginPaint();
    render::ImageSurface surface(host_.picture());
    surface.setClipRegion(std::move(region));
    WindowMessage m;
    m.id = WindowMessageId::Paint;
    m.surface = &surface;
    mainWindowProc(app_, m);
}

void HeadlessSession::send(WindowMessageId id, uint32_t wParam, uint32_t lParam) {
    if (!alive())
        return;
    WindowMessage m;
    m.id = id;
    m.wParam = wParam;
    m.lParam = lParam;
    mainWindowProc(app_, m);
    afterEvent();
}

void HeadlessSession::afterEvent() {
    // A close request destroys the window, as the default handling of the close message does.
    if (host_.closeRequested())
        destroy();
    paint();
}

void HeadlessSession::command(int id) {
    send(WindowMessageId::Command, static_cast<uint32_t>(id), 0);
}

void HeadlessSession::click(int32_t x, int32_t y) {
    buttonDown(x, y);
    buttonUp(x, y);
}

void HeadlessSession::buttonDown(int32_t x, int32_t y) {
    send(WindowMessageId::LeftButtonDown, 1, pointParam(x, y));
}

void HeadlessSession::buttonUp(int32_t x, int32_t y) {
    send(WindowMessageId::LeftButtonUp, 0, pointParam(x, y));
}

void HeadlessSession::mouseMove(int32_t x, int32_t y) {
    send(WindowMessageId::MouseMove, 0, pointParam(x, y));
}

void HeadlessSession::key(uint32_t code) {
    send(WindowMessageId::KeyDown, code, 0);
}

void HeadlessSession::resize(int32_t width, int32_t height) {
    if (!alive())
        return;
    host_.resize(width, height);
    paint();
}

void HeadlessSession::destroy() {
    if (!created_ || destroyed_)
        return;
    WindowMessage m;
    m.id = WindowMessageId::Destroy;
    mainWindowProc(app_, m);
    destroyed_ = true;
}

}  // namespace app
