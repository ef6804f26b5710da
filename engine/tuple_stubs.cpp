// Placeholders for the tuple procedures until they are built: they leave everything unchanged.

#include "procedures.h"

namespace engine {

void detectTuplesKnownNumber(platform::Window&, const series::Alphabet&, int32_t, const int32_t*,
                             uint16_t, uint16_t, uint16_t, uint16_t, ChainsHeader&,
                             series::SeriesHeader&, int32_t*) {}

void recognizeTuplesKnownNumber(platform::Window&, const series::Alphabet&, const int32_t*,
                                const int32_t* const*, int32_t, uint16_t, uint16_t, uint16_t,
                                uint16_t, ChainsHeader&, series::SeriesHeader&, int32_t*) {}

void detectTuplesUnknownNumber(platform::Window&, const series::Alphabet&, int32_t, const int32_t*,
                               uint16_t, uint16_t, uint16_t, uint16_t, ChainsHeader&,
                               series::SeriesHeader&, int32_t*) {}

int32_t TuplesDetection(platform::Window&, const series::Alphabet&, const int32_t*,
                        const int32_t* const*, int32_t, uint16_t, uint16_t, uint16_t, uint16_t,
                        ChainsHeader*, series::SeriesHeader&, int32_t*) {
    return 0;
}

}  // namespace engine
