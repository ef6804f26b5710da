#pragma once
// The main window's message routing, independent of the window system: each host turns its
// events into these messages and hands them to mainWindowProc.

#include <cstdint>

#include "app_settings.h"
#include "render/surface.h"

namespace app {

enum class WindowMessageId {
    Create,
    Destroy,
    Paint,
    KeyDown,
    Command,
    MouseMove,
    LeftButtonDown,
    LeftButtonUp,
    LeftButtonDoubleClick,
};

struct WindowMessage {
    WindowMessageId id = WindowMessageId::Paint;
    uint32_t wParam = 0;                 // command word, virtual-key code or mouse key flags
    uint32_t lParam = 0;                 // mouse position: x in the low half, y in the high half
    render::Surface* surface = nullptr;  // Paint: the surface clipped to the region
    platform::HostWindow* window = nullptr;  // Create: the window being created
};

// Packs a client point as the mouse messages carry it.
inline uint32_t pointParam(int32_t x, int32_t y) {
    return (static_cast<uint32_t>(y) & 0xFFFFu) << 16 | (static_cast<uint32_t>(x) & 0xFFFFu);
}

// Create: 0 when start-up succeeded, -1 (creation refused) when it failed. Everything else: 0.
int32_t mainWindowProc(AppSettings& app, const WindowMessage& message);

// Keys: codes 0 and 1 repaint the whole client area; any other key does nothing.
void onKeyDown(AppSettings& app, uint32_t virtualKey);

}  // namespace app
