#include "simulation_progress.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace cli {

std::string clockText(double seconds) {
    const long s = std::lround(std::max(0.0, seconds));
    char text[32];
    std::snprintf(text, sizeof text, "%ld:%02ld:%02ld", s / 3600, (s / 60) % 60, s % 60);
    return text;
}

ProgressPrinter::ProgressPrinter(uint64_t cyclesPerCell, bool terminal, std::string label)
    : perCell_(cyclesPerCell),
      terminal_(terminal),
      label_(std::move(label)),
      start_(std::chrono::steady_clock::now()) {}

void ProgressPrinter::operator()(uint64_t done, uint64_t total) {
    const double elapsed = seconds();
    if (!terminal_ && done != total && elapsed - lastLine_ < 10.0)
        return;
    lastLine_ = elapsed;
    const double left = done ? elapsed * double(total - done) / double(done) : 0.0;
    const uint64_t cells = perCell_ ? done / perCell_ : 0,
                   allCells = perCell_ ? total / perCell_ : 0;
    char line[300];
    if (terminal_) {
        constexpr int kWidth = 30;
        const int filled = total ? int(kWidth * done / total) : kWidth;
        std::string bar(size_t(filled), '#');
        bar.resize(kWidth, '.');
        std::snprintf(line, sizeof line,
                      "\r%s[%s] cells %llu/%llu cycles %llu/%llu elapsed %s left %s ",
                      label_.c_str(), bar.c_str(), static_cast<unsigned long long>(cells),
                      static_cast<unsigned long long>(allCells),
                      static_cast<unsigned long long>(done), static_cast<unsigned long long>(total),
                      clockText(elapsed).c_str(), clockText(left).c_str());
        std::fputs(line, stderr);
        if (done == total)
            std::fputs("\n", stderr);
    } else {
        std::snprintf(line, sizeof line,
                      "%sprogress: cells %llu/%llu, cycles %llu/%llu, elapsed %s, left %s\n",
                      label_.c_str(), static_cast<unsigned long long>(cells),
                      static_cast<unsigned long long>(allCells),
                      static_cast<unsigned long long>(done), static_cast<unsigned long long>(total),
                      clockText(elapsed).c_str(), clockText(left).c_str());
        std::fputs(line, stderr);
    }
    std::fflush(stderr);
}

double ProgressPrinter::seconds() const {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
}

}  // namespace cli
