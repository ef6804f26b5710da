// The parameter screen: drawing, clicks, moves and releases. Until the screen is built it draws
// nothing and ignores the mouse.

#include "mouse.h"
#include "paint.h"

namespace app {

void drawParamsScreen(AppSettings&, render::Surface&) {}

bool onParamsScreenClick(AppSettings&, int32_t, int32_t) {
    return false;
}
void onParamsScreenMove(AppSettings&, int32_t, int32_t) {}
void onParamsScreenRelease(AppSettings&, int32_t, int32_t) {}

}  // namespace app
