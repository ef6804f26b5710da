#include "ui_state_screens.h"

#include <algorithm>

#include "app/params_header.h"
#include "ui_state.h"

namespace cli {

namespace {

using nlohmann::json;

json rects(const platform::Rect* r, int32_t n) {
    json out = json::array();
    for (int32_t i = 0; r && i < n; ++i)
        out.push_back(rectJson(r[i]));
    return out;
}

json lineJson(const app::HitLine& l) {
    return {{"x1", l.x1}, {"y1", l.y1}, {"x2", l.x2}, {"y2", l.y2}, {"h", l.h}};
}

}  // namespace

json subsetScreenJson(const app::AppSettings& a) {
    json rows = json::array();
    for (int32_t r = 0; a.possibleSubsetArrayRect && r < a.reservedSubsetCapacity; ++r)
        rows.push_back(rects(a.possibleSubsetArrayRect[r], a.subsetCapacity + 1));
    json marks = json::array();
    for (int32_t i = 0; a.selectedSubsetMarks && i < a.selectedSubsetCount; ++i)
        marks.push_back(a.selectedSubsetMarks[i]);
    const int32_t buttons = std::clamp(a.subsetButtonCount, 0, 6);
    return {
        {"subsetCapacity", a.subsetCapacity},
        {"reservedSubsetCapacity", a.reservedSubsetCapacity},
        {"candidateCellRects",
         rects(a.candidateCellRects.data(), static_cast<int32_t>(a.candidateCellRects.size()))},
        {"selectedStripRect", rectJson(a.selectedStripRect)},
        {"possibleSubsetRect", rects(a.possibleSubsetRect.get(), a.subsetCapacity)},
        {"ButtonsWhileSelectedSubsetRect", rects(a.ButtonsWhileSelectedSubsetRect.get(), buttons)},
        {"subsetButtonCount", a.subsetButtonCount},
        {"possibleSubsetArrayRect", rows},
        {"reservedSubsetRects", rects(a.reservedSubsetRects, a.reservedSubsetCapacity)},
        {"selectedSubsetMarks", marks},
        {"markAllOnNextDraw", a.markAllOnNextDraw},
    };
}

json paramsHeaderJson(const app::AppSettings& a) {
    if (!a.lpParamsHeader)
        return nullptr;
    const app::ParamsHeader& p = *a.lpParamsHeader;
    const auto& v = p.previous;
    return {
        {"dwAllocatedLength", p.dwAllocatedLength},
        {"dwSeriesLength", p.dwSeriesLength},
        {"wTmin", p.wTmin},
        {"wTmax", p.wTmax},
        {"wEtalonLength", p.wEtalonLength},
        {"wPulses", p.wPulses},
        {"wMaxPulses", p.wMaxPulses},
        {"wMinPulses", p.wMinPulses},
        {"a", p.a},
        {"aPlus", p.aPlus},
        {"bMinus", p.bMinus},
        {"b", p.b},
        {"wBoxCapacity", p.wBoxCapacity},
        {"wBoxCount", p.wBoxCount},
        {"chartRect", rectJson(p.chartRect)},
        {"pulsesSelectedAreas",
         rects(p.pulsesSelectedAreas.get(), std::min(p.wBoxCount, p.wBoxCapacity))},
        {"aPlusHandleRect", rectJson(p.aPlusHandleRect)},
        {"bMinusHandleRect", rectJson(p.bMinusHandleRect)},
        {"plotRect", rectJson(p.plotRect)},
        {"aPlusHover", p.aPlusHover},
        {"bMinusHover", p.bMinusHover},
        {"aPlusDrag", p.aPlusDrag},
        {"bMinusDrag", p.bMinusDrag},
        {"changed", p.changed},
        {"previous",
         {{"wPulses", v.wPulses},
          {"aPlus", v.aPlus},
          {"bMinus", v.bMinus},
          {"wTmin", v.wTmin},
          {"wTmax", v.wTmax},
          {"wMaxPulses", v.wMaxPulses},
          {"wMinPulses", v.wMinPulses}}},
        {"tmaxLine", lineJson(p.tmaxLine)},
        {"tmaxHover", p.tmaxHover},
        {"tmaxDrag", p.tmaxDrag},
        {"tminLine", lineJson(p.tminLine)},
        {"tminHover", p.tminHover},
        {"tminDrag", p.tminDrag},
        {"cancelButtonRect", rectJson(p.cancelButtonRect)},
        {"okButtonRect", rectJson(p.okButtonRect)},
    };
}

}  // namespace cli
