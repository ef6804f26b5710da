#pragma once
// Reading an alphabet of etalons from a file: the JSON that `alphabet --json` writes
// ({"etalons": [{"number": 1, "samples": [...]}, ...]}, an entry may also be a bare array), or a
// CSV/TSV table with one etalon a row. 1 to 20 etalons, all of one length, integer samples in
// 16 bits, each energy (sum of squares) within 32 bits. A given "energy" is not read: it is
// recomputed from the samples.

#include <cstdint>
#include <istream>
#include <string>
#include <vector>

#include "input_file.h"
#include "series/records.h"

namespace cli {

inline constexpr size_t kMaxFileEtalons = 20;

// The etalons of `rows` as alphabet records numbered 1, 2, ...; `where[i]` names row i in
// refusals ("line 3", "etalon 2").
ReadResult<series::Alphabet> alphabetFromRows(const std::vector<std::vector<int16_t>>& rows,
                                              const std::vector<std::string>& where,
                                              const std::string& name);

ReadResult<series::Alphabet> parseJsonAlphabet(const std::string& text, const std::string& name);
ReadResult<series::Alphabet> parseDelimitedAlphabet(std::istream& in, const std::string& name,
                                                    char delimiter);

// By extension: .json, .csv or .tsv.
ReadResult<series::Alphabet> readAlphabetFile(const std::string& path);

}  // namespace cli
