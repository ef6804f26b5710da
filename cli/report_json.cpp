#include "report_json.h"

#include <algorithm>

namespace cli {

nlohmann::json pulsesJson(const int16_t* start, const int16_t* etalon, const int16_t* b,
                          const int16_t* e, int n) {
    nlohmann::json out = nlohmann::json::array();
    for (int i = 0; i < n; ++i)
        out.push_back(
            {{"start", start[i]}, {"etalon", etalon[i]}, {"cutBegin", b[i]}, {"cutEnd", e[i]}});
    return out;
}

nlohmann::json foundJson(const series::SeriesHeader& h, bool tupleTask) {
    const int n = std::min<int>(h.wDetectedQuantity, h.wPulsesCapacity);
    nlohmann::json found = {{"pulses", pulsesJson(h.lpDetectedStart, h.lpDetectedEtalon,
                                                  h.lpDetectedCutBegin, h.lpDetectedCutEnd, n)},
                            {"count", h.wDetectedQuantity}};
    if (tupleTask) {
        nlohmann::json t = nlohmann::json::array();
        for (int i = 0; i < h.wDetectedTuples && i < h.wPulsesCapacity; ++i)
            t.push_back({{"first", h.lpTupleFirst[i]}, {"last", h.lpTupleLast[i]}});
        found["tuples"] = t;
        found["recognizedSubset"] = h.wRecognizedSubset;
    }
    return found;
}

nlohmann::json chainsJson(const engine::ChainsHeader& c) {
    nlohmann::json rows = nlohmann::json::array();
    for (int r = 0; r < c.wPretenders && r < c.wMaxSize; ++r)
        rows.push_back({{"distance", c.distance[r]},
                        {"pulses", pulsesJson(c.lpChainStart[r], c.pulsesList[r],
                                              c.lpChainCutBegin[r], c.lpChainCutEnd[r],
                                              std::min<int>(c.lpChainLength[r], c.wMaxPulses))}});
    return rows;
}

}  // namespace cli
