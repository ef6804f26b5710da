#pragma once
// Tables for analysis elsewhere: a series as `index,pure,noisy` and the found pulses as
// `start,etalon,cut_begin,cut_end`, each with its header line.

#include <string>

#include "series/records.h"

namespace cli {

std::string seriesCsv(const series::SeriesHeader& header);
std::string foundCsv(const series::SeriesHeader& header);

}  // namespace cli
