#pragma once
// The alphabet of etalons: ten fixed shapes (rectangle, half sine, sine period, enveloped sine,
// envelope, and their negatives) and noise-like etalons from the random-etalons stream.

#include <cstdint>

#include "platform/window.h"
#include "records.h"

namespace series {

// Lays out every etalon of `alphabet` (M entries, resized when smaller) for L samples and fills
// it. Returns 1, or 0 after an allocation failure (the etalons allocated so far are released).
int makeEtalonsAlphabet(platform::Window& window, int16_t A, uint16_t M, uint16_t L,
                        Alphabet& alphabet, int16_t& randomEtalonsStream);

// Energy (sum of squares) of an etalon's wSize samples, as the 32-bit records hold it: wrapped
// modulo 2³² when it exceeds 32 bits.
int32_t etalonEnergy(const PulseHeader& etalon);
// The same energy, exact.
int64_t exactEtalonEnergy(const PulseHeader& etalon);

}  // namespace series
