#pragma once
// The geometry of the subset-selection screen inside the work area, derived from its size and
// the font: the upper panel with the candidate cells, the strip with the slots of the selected
// subset, the buttons and, on the tuple-recognition screen, the grid of reserved subsets. The
// rectangles are stored in the subset state for the clicks; all are inclusive.

#include <array>
#include <cstdint>
#include <string_view>

#include "app_settings.h"
#include "render/surface.h"

namespace app {

// The buttons in the order of their rectangles in ButtonsWhileSelectedSubsetRect.
enum SubsetButton : int32_t {
    kDeleteAllButton = 0,
    kDeleteButton = 1,
    kCancelButton = 2,
    kOkButton = 3,
    kAcceptButton = 4,
    kClearAllButton = 5,
};
inline constexpr int32_t kSubsetButtonsMax = 6;
inline constexpr std::array<std::string_view, kSubsetButtonsMax> kSubsetButtonCaptions{
    " Delete All ", " Delete ", " Cancel ", " OK ", " Accept ", " Clear All "};

// Colours of the screen.
inline constexpr platform::Colour kLightBackground = 0xE1F0EB;
inline constexpr platform::Colour kEmptySlotPen = 0xA0A0A0;
inline constexpr platform::Colour kReservedFramePen = 0xCDDCD7;

struct SubsetScreenGeometry {
    int32_t gx = 0, gy = 0;  // the screen's grid steps
    int32_t lineHeight = 0;
    Rect panel;             // the upper panel
    int32_t cellCount = 0;  // candidate cells laid out
    int32_t slotCount = 0;  // S: slots shown in the strip
    int32_t buttonWidth = 0, buttonHeight = 0;
    bool recognition = false;  // the tuple-recognition variant
    int32_t reservedTop = 0;   // top of the reserved-subset area
    Rect reservedCaptionAt;    // where " reserved subsets %d " is written (left, top)
};

// Lays the screen out and stores the rectangles in the subset state: candidateCellRects,
// selectedStripRect, possibleSubsetRect, ButtonsWhileSelectedSubsetRect and subsetButtonCount,
// and in the recognition variant the member slots and frames of possibleSubsetArrayRect.
// Needs the prepared state. False when the button rectangles cannot be had: the message is
// shown and the selected subset's storage released, so that the screen is prepared anew.
bool layoutSubsetScreen(AppSettings& app, render::Surface& surface, bool recognition,
                        SubsetScreenGeometry& geometry);

// The rectangle an etalon is drawn in inside a candidate cell or a slot of the strip.
Rect subsetCellInner(const Rect& cell, const SubsetScreenGeometry& g);
// The rectangle an etalon is drawn in inside a member slot of a reserved subset.
Rect reservedMemberInner(const Rect& slot, const SubsetScreenGeometry& g);

}  // namespace app
