#pragma once
// Reading a recorded series: CSV or TSV (one sample a line, or a table with a header and a chosen
// column), JSON (an array, an object with "samples", or the output of generate/process --json,
// whose "noisy" is used) and NumPy .npy (input_npy.h). Every reader returns the samples or one
// message naming the file and the line (text tables, counted from 1) or the element (JSON and
// .npy arrays, counted from 0).

#include <cstdint>
#include <istream>
#include <optional>
#include <string>
#include <vector>

#include "input_file.h"

namespace cli {

struct SeriesReadOptions {
    std::string format;  // "csv", "tsv", "json" or "npy"; empty: chosen by the file's extension
    std::string column;  // text tables: a header name or a column number counted from 1
    std::optional<double> scale;  // sample = round(value * scale)
};

struct InputSeries {
    std::vector<int16_t> samples;
    std::string format;
};

// Appended to the refusal of a fractional value read without a scale.
inline constexpr const char* kScaleHint =
    " (give --scale S to read fractional values as round(value * S))";

// Null when `count` samples make a series: at least 1 and at most 32767. Else the refusal.
std::optional<std::string> seriesLengthError(const std::string& name, uint64_t count);

// One column of a delimited text table. Without `column`: the only column, or the one named
// "noisy". A first line whose cells are names (no cell a number) is the header. Lines that are
// blank at the end of the file are ignored; a blank line before data is refused.
ReadResult<std::vector<int16_t>> parseDelimitedSeries(std::istream& in, const std::string& name,
                                                      char delimiter, const std::string& column,
                                                      const std::optional<double>& scale);

// A JSON array of numbers, or an object with such an array as "samples" or else "noisy".
ReadResult<std::vector<int16_t>> parseJsonSeries(const std::string& text, const std::string& name,
                                                 const std::optional<double>& scale);

// The format the options or the extension choose: "csv", "tsv", "json" or "npy".
ReadResult<std::string> seriesFormatFor(const std::string& path, const std::string& format);

// Reads the series of `path` in its format.
ReadResult<InputSeries> readInputSeries(const std::string& path, const SeriesReadOptions& options);

}  // namespace cli
