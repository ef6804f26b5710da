#include "params_header.h"

#include <algorithm>
#include <new>
#include <string>

#include "platform/allocation.h"

namespace app {

namespace {
constexpr const char* kTitle = " getParamsHeader ";

// A new zeroed record. It is counted by the records' allocator like every array of the records,
// so that a failure can be injected; std::bad_alloc on failure.
ParamsHeaderPtr newParamsHeader() {
    (void)platform::allocateArray<uint8_t>(sizeof(ParamsHeader));
    return ParamsHeaderPtr(new ParamsHeader());
}
}  // namespace

ParamsHeaderPtr getParamsHeader(platform::HostWindow& window, const series::SeriesHeader* series,
                                ParamsHeaderPtr old) {
    if (series == nullptr)
        return old;
    const int32_t N = static_cast<int32_t>(series->dwSeriesSize);
    const int32_t L = series->wImpulseSize;
    const int32_t Tmin = series->wTmin;
    const int32_t Tmax = series->wTmax;
    // A record without intervals has no chart; the program's own series always have them.
    const int32_t Mmin = Tmax > 0 ? (N + L - 1) / Tmax : 0;
    const int32_t Mmax = Tmin > 0 ? (N + Tmin - L) / Tmin : 0;
    const int32_t count = std::max(Mmax - Mmin + 1, 0);

    if (!old) {
        try {
            old = newParamsHeader();
        } catch (const std::bad_alloc&) {
            window.messageBox("Нет памяти для newParamsHeader!", kTitle);
            return nullptr;
        }
    }
    ParamsHeader& p = *old;
    if (p.wBoxCapacity < count || !p.pulsesSelectedAreas) {
        p.pulsesSelectedAreas.reset();
        p.wBoxCapacity = 0;
        try {
            p.pulsesSelectedAreas = platform::allocateArray<Rect>(static_cast<size_t>(count));
        } catch (const std::bad_alloc&) {
            window.messageBox("Нет памяти для newParamsHeader->pulsesSelectedAreas!", kTitle);
            return nullptr;
        }
        p.wBoxCapacity = count;
        p.dwAllocatedLength = N;
    }

    p.dwSeriesLength = N;
    p.wTmin = Tmin;
    p.wTmax = Tmax;
    p.wEtalonLength = L;
    p.wPulses = series->wImpulseQuantity;
    p.wMaxPulses = Mmax;
    p.wMinPulses = Mmin;
    p.a = 0;
    p.aPlus = Tmax - L;
    p.bMinus = N - Tmax;
    p.b = N - L;
    p.wBoxCount = count;
    p.aPlusHover = p.bMinusHover = p.aPlusDrag = p.bMinusDrag = 0;
    p.tmaxHover = p.tmaxDrag = p.tminHover = p.tminDrag = 0;
    p.changed = 0;
    p.drawn = {};
    window.setEditText(kTminEditId, std::to_string(Tmin));
    p.previous = {p.wPulses, p.aPlus, p.bMinus, p.wTmin, p.wTmax, p.wMaxPulses, p.wMinPulses};
    std::fill_n(p.pulsesSelectedAreas.get(), p.wBoxCapacity, Rect{});
    return old;
}

}  // namespace app
