#pragma once
// The processing procedures. Each explains the observed series of `header` as a chain of pulses
// of minimal squared distance, ranks candidate chains in `chains` and copies the best one into
// the header's findings. Allocation failures are reported on `window`.

#include <cstdint>

#include "chains.h"
#include "platform/window.h"
#include "series/records.h"

namespace engine {

// Unknown number of pulses, candidates from the list (1-based etalon numbers). Returns the best
// chain's cost, at most 9999999; 0 when storage could not be allocated.
int32_t detectUnknownNumber(platform::Window& window, const series::Alphabet& alphabet,
                            uint16_t listCount, const uint16_t* list, uint16_t Tmin, uint16_t Tmax,
                            uint16_t D, ChainsHeader& chains, series::SeriesHeader& header);

// Known number K = wImpulseQuantity; each pulse the best etalon of the list. 1; 0 on no memory.
int detectKnownNumber(platform::Window& window, const series::Alphabet& alphabet,
                      uint16_t listCount, const uint16_t* list, uint16_t Tmin, uint16_t Tmax,
                      uint16_t D, ChainsHeader& chains, series::SeriesHeader& header);

// Known K; which single etalon of the list the series is made of. Best distance (9999999 when
// none below it); -1 on no memory.
int32_t recognizeKnownNumber(platform::Window& window, const series::Alphabet& alphabet,
                             uint16_t listCount, const uint16_t* list, uint16_t Tmin, uint16_t Tmax,
                             uint16_t D, ChainsHeader& chains, series::SeriesHeader& header);

// Unknown count; the chains of every list etalon compete in one ranking.
void recognizeUnknownNumber(platform::Window& window, const series::Alphabet& alphabet,
                            uint16_t listCount, const uint16_t* list, uint16_t Tmin, uint16_t Tmax,
                            uint16_t D, ChainsHeader& chains, series::SeriesHeader& header);

// Tuple procedures. `debugRepeat` is the application's diagnostic flag (may be null); the
// procedures that the flag concerns reset it to 0.
void detectTuplesKnownNumber(platform::Window& window, const series::Alphabet& alphabet, int32_t S,
                             const int32_t* subset, uint16_t proceeding, uint16_t Tmin,
                             uint16_t Tmax, uint16_t D, ChainsHeader& chains,
                             series::SeriesHeader& header, int32_t* debugRepeat);

void recognizeTuplesKnownNumber(platform::Window& window, const series::Alphabet& alphabet,
                                const int32_t* lengths, const int32_t* const* rows, int32_t count,
                                uint16_t proceeding, uint16_t Tmin, uint16_t Tmax, uint16_t D,
                                ChainsHeader& chains, series::SeriesHeader& header,
                                int32_t* debugRepeat);

void detectTuplesUnknownNumber(platform::Window& window, const series::Alphabet& alphabet,
                               int32_t S, const int32_t* subset, uint16_t proceeding, uint16_t Tmin,
                               uint16_t Tmax, uint16_t D, ChainsHeader& chains,
                               series::SeriesHeader& header, int32_t* debugRepeat);

// Tuple recognition with an unknown count. Returns the recognised tuple (1..T), 0 if none.
int32_t TuplesDetection(platform::Window& window, const series::Alphabet& alphabet,
                        const int32_t* lengths, const int32_t* const* rows, int32_t T,
                        uint16_t proceeding, uint16_t Tmin, uint16_t Tmax, uint16_t savedLevel,
                        ChainsHeader* chains, series::SeriesHeader& header, int32_t* debugRepeat);

}  // namespace engine
