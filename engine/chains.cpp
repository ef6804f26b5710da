#include "chains.h"

#include <algorithm>
#include <cstdio>
#include <new>

#include "platform/allocation.h"

namespace engine {

namespace {

constexpr const char* kGetTitle = " getChainsHeader ";

// Points the row-pointer arrays into the row block: row r of array a starts at
// (a * wMaxSize + r) * wMaxPulses.
void layOutRows(ChainsHeader& c) {
    c.distance = c.distanceBlock.get();
    c.lpChainLength = c.distanceBlock.get() + c.wMaxSize;
    int16_t** rows = c.rowPointerBlock.get();
    c.pulsesList = rows;
    c.lpChainStart = rows + c.wMaxSize;
    c.lpChainCutBegin = rows + 2 * size_t{c.wMaxSize};
    c.lpChainCutEnd = rows + 3 * size_t{c.wMaxSize};
    for (size_t a = 0; a < 4; ++a)
        for (size_t r = 0; r < c.wMaxSize; ++r)
            rows[a * c.wMaxSize + r] = c.rowBlock.get() + (a * c.wMaxSize + r) * c.wMaxPulses;
}

void copyRow(ChainsHeader& c, int to, int from) {
    c.distance[to] = c.distance[from];
    c.lpChainLength[to] = c.lpChainLength[from];
    int16_t** arrays[4] = {c.pulsesList, c.lpChainStart, c.lpChainCutBegin, c.lpChainCutEnd};
    for (int16_t** a : arrays)
        std::copy(a[from], a[from] + c.wMaxPulses, a[to]);
}

}  // namespace

ChainsHeaderPtr getChainsHeader(platform::Window& window, uint16_t R, uint16_t P,
                                ChainsHeaderPtr chains) {
    if (!chains) {
        try {
            chains = std::make_unique<ChainsHeader>();
        } catch (const std::bad_alloc&) {
            window.messageBox("Нет памяти для newChainsHeader!", kGetTitle);
            return nullptr;
        }
    }
    ChainsHeader& c = *chains;
    if (c.wMaxSize < R || c.wMaxPulses < P) {
        c.distanceBlock.reset();
        c.rowPointerBlock.reset();
        c.rowBlock.reset();
        const char* failed = nullptr;
        try {
            failed = "Нет памяти для newChainsHeader->distance!";
            c.distanceBlock = platform::allocateArray<int32_t>(2 * size_t{R});
            failed = "Нет памяти для newChainsHeader->pulsesList!";
            c.rowPointerBlock = platform::allocateArray<int16_t*>(4 * size_t{R});
            failed = "Нет памяти для newChainsHeader->pulsesList[0]!";
            c.rowBlock = platform::allocateArray<int16_t>(4 * size_t{R} * P);
        } catch (const std::bad_alloc&) {
            window.messageBox(failed, kGetTitle);
            return nullptr;
        }
        c.wMaxSize = R;
        c.wMaxPulses = P;
        layOutRows(c);
    }
    c.wPretenders = 0;
    c.wQuanPulses = 0;
    c.wSeekingPulsesQuantity = 0;
    std::fill(c.distanceBlock.get(), c.distanceBlock.get() + 2 * size_t{R}, 0);
    std::fill(c.rowBlock.get(), c.rowBlock.get() + 4 * size_t{R} * P, int16_t{0});
    return chains;
}

int addToChainsHeader(platform::Window& window, uint16_t seriesKind, uint16_t taskKind,
                      uint16_t createLevel, uint16_t processLevel, ChainsHeader* chains) {
    if (chains == nullptr) {
        window.messageBox("Не определен lpChainsHeader!", " addToChainsHeader ");
        return 0;
    }
    chains->wKindsMark = 2;
    chains->wSeriesKind = seriesKind;
    chains->wTaskKind = taskKind;
    chains->lpSeriesName = series::seriesKindName(seriesKind);
    chains->lpTaskName = chainsTaskName(taskKind);
    chains->wCreateSavedLevel = createLevel;
    chains->wProcessSavedLevel = processLevel;
    return 1;
}

int freeChainsHeader(platform::Window&, ChainsHeaderPtr chains) {
    chains.reset();
    return 1;
}

std::string chainsListing(const ChainsHeader& c) {
    std::string text = "ChainsHeader:\n";
    char line[96];
    auto field = [&](const char* name, int value) {
        std::snprintf(line, sizeof line, "%s: %d\n", name, value);
        text += line;
    };
    field("wMaxSize", c.wMaxSize);
    field("wPretenders", c.wPretenders);
    field("wMaxPulses", c.wMaxPulses);
    field("wQuanPulses", c.wQuanPulses);
    field("wSeekingPulsesQuantity", c.wSeekingPulsesQuantity);
    for (int r = 0; r < c.wPretenders && r < c.wMaxSize; ++r) {
        std::snprintf(line, sizeof line, " %d. %d", r + 1, c.distance[r]);
        text += line;
        const int n = std::clamp<int>(c.lpChainLength[r], 0, c.wMaxPulses);
        for (int p = 0; p < n; ++p) {
            std::snprintf(line, sizeof line, " %d (%d) [%d %d]", c.lpChainStart[r][p],
                          c.pulsesList[r][p], c.lpChainCutBegin[r][p], c.lpChainCutEnd[r][p]);
            text += line;
        }
        text += "\n";
    }
    return text;
}

void aboutChainsHeader(platform::Window& window, const ChainsHeader& chains) {
    window.messageBox(chainsListing(chains), "aboutChainsHeader Info");
}

const char* chainsTaskName(uint16_t taskKind) {
    switch (taskKind) {
        case 1:
        case 32:
        case 36:
            return "detection";
        case 2:
        case 40:
            return "recognition";
        case 4:
            return "joint detection and identification";
        default:
            return nullptr;
    }
}

namespace {

int firstGreater(const ChainsHeader& c, int32_t distance) {
    int i = 0;
    while (i < c.wPretenders && !(c.distance[i] > distance))
        ++i;
    return i;
}

}  // namespace

int chainRowFor(const ChainsHeader& c, int32_t distance) {
    const int i = firstGreater(c, distance);
    return i < c.wMaxSize ? i : -1;
}

int offerChain(ChainsHeader& c, int32_t distance, std::span<const ChainPulse> pulses) {
    const int i = firstGreater(c, distance);
    if (i < c.wPretenders) {
        for (int r = std::min<int>(c.wPretenders, c.wMaxSize - 1); r >= i + 1; --r)
            copyRow(c, r, r - 1);
    }
    if (i >= c.wMaxSize)
        return -1;
    const size_t n = std::min<size_t>(pulses.size(), c.wMaxPulses);
    c.distance[i] = distance;
    c.lpChainLength[i] = static_cast<int32_t>(n);
    for (size_t p = 0; p < n; ++p) {
        c.lpChainStart[i][p] = pulses[p].start;
        c.pulsesList[i][p] = pulses[p].etalon;
        c.lpChainCutBegin[i][p] = pulses[p].cutBegin;
        c.lpChainCutEnd[i][p] = pulses[p].cutEnd;
    }
    if (c.wPretenders < c.wMaxSize)
        ++c.wPretenders;
    return i;
}

void copyBestChainToSeries(ChainsHeader& c, series::SeriesHeader& header) {
    const int32_t length = c.wPretenders > 0 ? c.lpChainLength[0] : 0;
    const auto n = static_cast<uint16_t>(
        std::clamp<int32_t>(length, 0, std::min(c.wMaxPulses, header.wPulsesCapacity)));
    c.wSeekingPulsesQuantity = n;
    header.wDetectedQuantity = n;
    for (uint16_t p = 0; p < n; ++p) {
        header.lpDetectedStart[p] = c.lpChainStart[0][p];
        header.lpDetectedEtalon[p] = c.pulsesList[0][p];
        header.lpDetectedCutBegin[p] = c.lpChainCutBegin[0][p];
        header.lpDetectedCutEnd[p] = c.lpChainCutEnd[0][p];
    }
}

}  // namespace engine
