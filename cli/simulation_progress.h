#pragma once
// Progress of a simulation on stderr: a bar redrawn in place on a terminal, a plain line every
// ten seconds otherwise.

#include <chrono>
#include <cstdint>
#include <string>

namespace cli {

// h:mm:ss of a number of seconds.
std::string clockText(double seconds);

class ProgressPrinter {
  public:
    // `label` (e.g. "shard 2/4: ") starts every line.
    ProgressPrinter(uint64_t cyclesPerCell, bool terminal, std::string label = "");
    void operator()(uint64_t done, uint64_t total);
    double seconds() const;

  private:
    uint64_t perCell_;
    bool terminal_;
    std::string label_;
    std::chrono::steady_clock::time_point start_;
    double lastLine_ = -1e9;
};

}  // namespace cli
