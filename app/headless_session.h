#pragma once
// The program without a window system: the headless host's events go through the same message
// routing as the desktop program's, and whatever was invalidated is painted after each event,
// as the window system would.

#include "app_settings.h"
#include "platform/headless_host.h"
#include "window_proc.h"

namespace app {

class HeadlessSession {
  public:
    HeadlessSession(AppSettings& app, platform::HeadlessHost& host) : app_(app), host_(host) {}

    // Window creation (start-up) and the first paint; false when creation was refused.
    bool create();
    // Paints the region waiting to be repainted, if any.
    void paint();

    void command(int id);
    void click(int32_t x, int32_t y);
    void buttonDown(int32_t x, int32_t y);
    void buttonUp(int32_t x, int32_t y);
    void mouseMove(int32_t x, int32_t y);
    void key(uint32_t code);
    void resize(int32_t width, int32_t height);
    // Destroys the window (the exit sequence) unless that happened already.
    void destroy();

    bool alive() const { return created_ && !destroyed_; }

  private:
    void send(WindowMessageId id, uint32_t wParam, uint32_t lParam);
    void afterEvent();

    AppSettings& app_;
    platform::HeadlessHost& host_;
    bool created_ = false;
    bool destroyed_ = false;
};

}  // namespace app
