// The subset-selection screen: drawing and clicks. Until the screen is built, mode 9 prepares
// its state and draws nothing of its own, and its clicks do nothing.

#include "mouse.h"
#include "paint.h"
#include "subset_state.h"

namespace app {

void drawSubsetScreens(AppSettings& a, render::Surface&) {
    prepareSubsetScreen(a);
}

bool onSubsetScreenClick(AppSettings&, int32_t, int32_t) {
    return false;
}

}  // namespace app
