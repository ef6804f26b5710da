#include "window_proc.h"

#include "commands.h"
#include "mouse.h"
#include "paint.h"
#include "startup.h"

namespace app {

namespace {
// Mouse coordinates are signed 16-bit values.
int32_t lowWord(uint32_t p) {
    return static_cast<int16_t>(p & 0xFFFFu);
}
int32_t highWord(uint32_t p) {
    return static_cast<int16_t>(p >> 16 & 0xFFFFu);
}
}  // namespace

void onKeyDown(AppSettings& a, uint32_t key) {
    if (key == 0 || key == 1)
        a.window().invalidateRect(nullptr, true);
}

int32_t mainWindowProc(AppSettings& a, const WindowMessage& m) {
    const int32_t x = lowWord(m.lParam);
    const int32_t y = highWord(m.lParam);
    switch (m.id) {
        case WindowMessageId::Create:
            return m.window && onCreateMainWindow(a, *m.window) ? 0 : -1;
        case WindowMessageId::Destroy:
            onDestroyMainWindow(a);
            return 0;
        case WindowMessageId::Paint:
            if (m.surface)
                paintMainWindow(a, *m.surface);
            return 0;
        case WindowMessageId::KeyDown:
            onKeyDown(a, m.wParam);
            return 0;
        case WindowMessageId::Command:
            onCommand(a, static_cast<int>(m.wParam & 0xFFFFu));
            return 0;
        case WindowMessageId::MouseMove:
            onMouseMove(a, x, y, m.wParam);
            return 0;
        case WindowMessageId::LeftButtonDown:
            onLeftButtonDown(a, false, x, y, m.wParam);
            return 0;
        case WindowMessageId::LeftButtonUp:
            onLeftButtonUp(a, x, y, m.wParam);
            return 0;
        case WindowMessageId::LeftButtonDoubleClick:
            onLeftButtonDown(a, true, x, y, m.wParam);
            return 0;
    }
    return 0;
}

}  // namespace app
