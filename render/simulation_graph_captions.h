#pragma once
// The texts of the simulation graphs: the caption block that describes the run, the information
// lines with the measures and the time stamps, the panel captions and the axis labels.

#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

#include "series/records.h"
#include "simulation/measures.h"
#include "simulation/rest_error_header.h"

namespace render {

// " restored error, componentwise case", ...; empty for a kind without a graph.
std::string graphKindCaption(int32_t kind);

// " involves " with the pulse counts (all of them below four, else the first two and the last)
// followed directly by " pulses from [Kmin-Kmax],".
std::string involvesText(const simulation::RestErrorHeader& record,
                         const series::SeriesHeader& series);

// The nine lines of the caption block.
std::vector<std::string> simulationCaptionLines(const simulation::RestErrorHeader& record,
                                                const series::SeriesHeader& series,
                                                int32_t amplitude, int32_t kind);

// The calendar clock's standard date-and-time text in local time without its line break,
// e.g. "Thu Jan  1 00:00:59 1970".
std::string calendarText(std::time_t t);

// "elapsed time H:MM:SS" for the seconds from start to end (a clock set back counts as 0).
std::string elapsedTimeText(std::time_t start, std::time_t end);

// The information lines under the caption block, after its blank line: the measures, a blank,
// the start and end of the run, a blank, the elapsed time.
std::vector<std::string> informationLines(const simulation::GraphMeasures& measures,
                                          std::time_t start, std::time_t end);

// " Alphabet, %d items " (" item " for one), or " Alph: %d " for a box narrower than 100 pixels.
std::string alphabetCaption(uint16_t requiredCount, int32_t boxWidth);

// The error's formula in the Symbol font's letters; empty for the recognition kinds.
std::string formulaText(int32_t kind);

// Label i (0 .. 5) of the value axis, i (Z/5) / 1000 with two decimals, three below Z = 50.
std::string valueLabel(int32_t i, int64_t axisTop);

// A noise level under the axis, "%3d".
std::string noiseLabel(int32_t sigma);

}  // namespace render
