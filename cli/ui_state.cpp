#include "ui_state.h"

#include "common.h"
#include "report_json.h"

namespace cli {

namespace {

using nlohmann::json;

json rects(const platform::Rect* r, size_t n) {
    json out = json::array();
    for (size_t i = 0; i < n; ++i)
        out.push_back(rectJson(r[i]));
    return out;
}

json selectorJson(const app::ValueSelector& s) {
    return {{"values", json(std::vector<int32_t>(s.values.begin(), s.values.begin() + s.count))},
            {"selected", s.selected}};
}

json layoutJson(const render::ScreenLayout& l) {
    return {{"lineHeight", l.lineHeight},
            {"maxCharWidth", l.maxCharWidth},
            {"aveCharWidth", l.aveCharWidth},
            {"exitButtonRect", rectJson(l.exitButtonRect)},
            {"nextButtonRect", rectJson(l.nextButtonRect)},
            {"selectButtonRect", rectJson(l.selectButtonRect)},
            {"selectButtonHitRect", rectJson(l.selectButtonHitRect)},
            {"restartButtonRect", rectJson(l.restartButtonRect)},
            {"restartAreaRect", rectJson(l.restartAreaRect)},
            {"workAreaRect", rectJson(l.workAreaRect)},
            {"cellWidth", l.cellWidth},
            {"cellHeight", l.cellHeight},
            {"cellInnerWidth", l.cellInnerWidth},
            {"cellInnerHeight", l.cellInnerHeight},
            {"pulseCellRects", rects(l.pulseCellRects.data(), l.pulseCellRects.size())},
            {"seriesLengthPanel", rectJson(l.seriesLengthPanel)},
            {"noiseLevelPanel", rectJson(l.noiseLevelPanel)},
            {"lostDataPanel", rectJson(l.lostDataPanel)},
            {"seriesLengthItems", rects(l.seriesLengthItems.data(), 3)},
            {"noiseLevelItems", rects(l.noiseLevelItems.data(), 3)},
            {"lostDataItems", rects(l.lostDataItems.data(), 3)},
            {"panelsBottom", l.panelsBottom},
            {"selectAllShown", l.selectAllShown}};
}

json seriesStateJson(const app::AppSettings& a) {
    if (!a.lpSeriesHeader)
        return nullptr;
    const series::SeriesHeader& h = *a.lpSeriesHeader;
    json out = seriesJson(h);
    const uint16_t task = a.lpChainsHeader ? a.lpChainsHeader->wTaskKind : a.wTaskKind;
    out["found"] =
        foundJson(h, task == series::kTupleDetection || task == series::kTupleRecognition);
    return out;
}

}  // namespace

json rectJson(const platform::Rect& r) {
    return json::array({r.left, r.top, r.right, r.bottom});
}

json uiStateJson(const app::AppSettings& a, const platform::HeadlessHost& host) {
    const platform::Rect client = host.clientRect();
    json required = json::array();
    for (uint16_t i = 0; i < a.wRequiredCount && a.lpEtalonNumbersList; ++i)
        required.push_back(a.lpEtalonNumbersList[i]);
    json sequence = json::array();
    for (uint16_t i = 0; i < a.wEtalonSequenceSize && a.etalonSequence; ++i)
        sequence.push_back(a.etalonSequence[i]);
    json selected = json::array();
    for (int32_t i = 0; i < a.selectedSubsetCount && a.selectedSubset; ++i)
        selected.push_back(a.selectedSubset[i]);
    json reserved = json::array();
    for (int32_t r = 0; r < a.reservedSubsetCount && a.reservedSubsetLists; ++r) {
        json row = json::array();
        for (int32_t i = 0; i < a.selectedSubsetArraySize[r] && i < a.subsetCapacity; ++i)
            row.push_back(a.reservedSubsetLists[r][i]);
        reserved.push_back(row);
    }
    json state = {
        {"client", {{"width", client.right}, {"height", client.bottom}}},
        {"screenMode", a.screenMode},
        {"seriesScreenContent", a.seriesScreenContent},
        {"simGraphKind", a.simGraphKind},
        {"wSelectedTask", a.wSelectedTask},
        {"wTaskKind", a.wTaskKind},
        {"wSeriesKind", a.wSeriesKind},
        {"dwSeriesLength", a.dwSeriesLength},
        {"dwSelectedSeriesLength", a.dwSelectedSeriesLength},
        {"wNoiseLevel", a.wNoiseLevel},
        {"wSelectedNoiseLevel", a.wSelectedNoiseLevel},
        {"wLostDataLevel", a.wLostDataLevel},
        {"wCreateSavedLevel", a.wCreateSavedLevel},
        {"wProcessSavedLevel", a.wProcessSavedLevel},
        {"wTmin", a.wTmin},
        {"wTmax", a.wTmax},
        {"wMinPulses", a.wMinPulses},
        {"wMaxPulses", a.wMaxPulses},
        {"wPulsesInSeries", a.wPulsesInSeries},
        {"wPulsesActual", a.wPulsesActual},
        {"dwDetectionEtalon", a.dwDetectionEtalon},
        {"requiredList", required},
        {"requiredFlags",
         json(std::vector<uint16_t>(a.requiredFlags.begin(), a.requiredFlags.end()))},
        {"etalonSequence", sequence},
        {"selectors",
         {{"length", selectorJson(a.seriesLengthSelector)},
          {"noise", selectorJson(a.noiseLevelSelector)},
          {"lostData", selectorJson(a.lostDataSelector)}}},
        {"menuChecked", host.checkedMenuItems()},
        {"layout", layoutJson(a.layout)},
        {"selectedSubset", selected},
        {"reservedSubsets", reserved},
        {"currentReservedSubset", a.currentReservedSubset},
        {"series", seriesStateJson(a)},
        {"chains", a.lpChainsHeader ? chainsJson(*a.lpChainsHeader) : json(nullptr)},
        {"messages", messagesJson(host.messages())},
    };
    return state;
}

}  // namespace cli
