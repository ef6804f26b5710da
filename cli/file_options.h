#pragma once
// The file options of generate and process: the recorded series (--input with --input-format,
// --column, --scale), the alphabet file (--alphabet) and the tables written for analysis
// elsewhere (generate --csv, process --found-csv). Readers' refusals become UsageError.

#include <string>

#include <CLI/CLI.hpp>

#include "common.h"
#include "input_series.h"
#include "series/records.h"

namespace cli {

struct FileOptions {
    std::string input;
    SeriesReadOptions read;
    std::string alphabet;
    std::string foundCsv;   // process
    std::string seriesCsv;  // generate
};

// --alphabet FILE, which gives the etalon count and length: it excludes --count and
// --etalon-length.
void addAlphabetFileOption(CLI::App& cmd, FileOptions& files);

// --input FILE, --input-format, --column, --scale. Register it after every other option: with
// --input nothing is generated, so it excludes the options that only shape generation.
void addInputSeriesOptions(CLI::App& cmd, FileOptions& files);

// The etalons of `files.alphabet`; sets options.count and options.etalonLength from them.
series::Alphabet readAlphabetOption(const FileOptions& files, SeriesOptions& options);

// The samples of `files.input`.
InputSeries readInputOption(const FileOptions& files);

// writeFileAtomically, a failure thrown as UsageError.
void writeOutputFile(const std::string& path, const std::string& content);

}  // namespace cli
