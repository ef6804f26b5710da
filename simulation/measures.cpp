#include "measures.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace simulation {

namespace {

// Sample i of an etalon, 0 outside its samples.
int32_t sampleAt(const series::PulseHeader* e, int32_t i) {
    if (!e || !e->lpData || i < 0 || i >= e->wSize)
        return 0;
    return e->lpData[i];
}

const series::PulseHeader* etalonByNumber(const series::SeriesHeader& h, int32_t number) {
    if (number < 1 || number > h.wEtalonsQuantity || !h.lpPulsesList)
        return nullptr;
    return h.lpPulsesList[number - 1];
}

int32_t energyOf(const series::PulseHeader* e, int32_t len) {
    int64_t sum = 0;
    for (int32_t i = 0; i < len; ++i)
        sum += int64_t{sampleAt(e, i)} * sampleAt(e, i);
    return static_cast<int32_t>(std::min<int64_t>(sum, std::numeric_limits<int32_t>::max()));
}

}  // namespace

GraphMeasures graphMeasures(const RestErrorHeader& record, uint16_t n, const uint16_t* list,
                            const series::SeriesHeader& h) {
    GraphMeasures m;
    const int32_t len = h.wImpulseSize;
    const series::PulseHeader* first = h.lpFirstPulse;
    m.etEnergy = energyOf(first, len);
    m.minSq = std::numeric_limits<int32_t>::max();
    for (int32_t i = 0; i < len; ++i)
        m.minSq = std::min(m.minSq, sampleAt(first, i) * sampleAt(first, i));
    if (len == 0)
        m.minSq = 0;

    const bool tupleRecognition =
        (record.wSeriesKind == 36 || record.wSeriesKind == 40) && record.wTaskKind == 40;
    if (tupleRecognition && h.wSubsetsQuantity > 0 && h.selectedSubsetList) {
        int64_t low = 0, high = 0;
        int32_t greatest = 0;
        for (uint16_t t = 0; t < h.wSubsetsQuantity; ++t)
            for (int16_t i = 0; i < h.selectedSubsetSize[t]; ++i)
                greatest = std::max(greatest,
                                    energyOf(etalonByNumber(h, h.selectedSubsetList[t][i]), len));
        for (uint16_t a = 0; a < h.wSubsetsQuantity; ++a)
            for (uint16_t b = a + 1; b < h.wSubsetsQuantity; ++b)
                for (int16_t ia = 0; ia < h.selectedSubsetSize[a]; ++ia)
                    for (int16_t ib = 0; ib < h.selectedSubsetSize[b]; ++ib) {
                        const auto* A = etalonByNumber(h, h.selectedSubsetList[a][ia]);
                        const auto* B = etalonByNumber(h, h.selectedSubsetList[b][ib]);
                        for (int32_t s = -len; s <= len; ++s) {
                            int64_t r = 0;
                            for (int32_t i = 0; i < len; ++i)
                                r += int64_t{sampleAt(B, i)} * sampleAt(A, i + s);
                            low = std::min(low, r);
                            high = std::max(high, r);
                        }
                    }
        m.etEnergy = greatest;
        m.Rmin = static_cast<int32_t>(std::max<int64_t>(low, std::numeric_limits<int32_t>::min()));
        m.Rmax = static_cast<int32_t>(std::min<int64_t>(high, std::numeric_limits<int32_t>::max()));
    } else {
        const series::PulseHeader* A = first;
        const series::PulseHeader* B = first;
        if (n >= 1 && list) {
            if (const auto* e = etalonByNumber(h, list[0]))
                A = e;
            if (const auto* e = etalonByNumber(h, n >= 2 ? list[1] : list[0]))
                B = e;
        }
        int64_t low = 0;
        for (int32_t s = -len; s <= len; ++s) {
            int64_t r = 0;
            for (int32_t i = 0; i < len - std::abs(s); ++i)
                r += int64_t{sampleAt(B, i)} * sampleAt(A, i + s);
            low = std::min(low, r);
        }
        m.Rmin = static_cast<int32_t>(std::max<int64_t>(low, std::numeric_limits<int32_t>::min()));
    }
    m.restoringNormaliser = 2.0 * h.wMaxPulses * (double(m.etEnergy) - m.Rmin);
    const double gap = double(h.wTmax) - len;
    m.detectionNormaliser = gap * gap;
    return m;
}

CellValues normalisedCell(const RestErrorHeader& r, const GraphMeasures& m, uint16_t k,
                          uint16_t j) {
    CellValues v;
    const double u = double(r.repeats & 0xFFFF);
    if (m.restoringNormaliser != 0)
        v.restoring = r.lpRestoringErrors()[k][j] / m.restoringNormaliser;
    if (u != 0 && m.detectionNormaliser != 0)
        v.detection =
            std::sqrt(std::max(0.0, r.lpDetectionErrors[k][j] / u / m.detectionNormaliser));
    if (u != 0)
        v.recognition = r.lpRecognitionErrors[k][j] / u;
    return v;
}

}  // namespace simulation
