#pragma once
// The parameter screen's record: the geometry of the current series as an interactive chart.

#include <cstdint>

namespace app {

struct ParamsHeader {
    uint16_t wTmin = 0;
    uint16_t wTmax = 0;
};

}  // namespace app
