#pragma once
// An output file opened before the work it reports, so that a path that cannot be written is
// refused at once, and written whole at the end (through a temporary file renamed over it).

#include <stdexcept>
#include <string>

#include "export/atomic_file.h"

namespace cli {

class AtomicFile {
  public:
    // Creates the temporary file next to `path`; throws std::runtime_error when it cannot.
    explicit AtomicFile(std::string path) : path_(std::move(path)) {
        if (!file_.create(path_))
            throw std::runtime_error(file_.error());
    }

    const std::string& path() const { return path_; }
    // Writes `text` and renames the file over the target; throws std::runtime_error (the target
    // untouched) on failure.
    void commit(const std::string& text) {
        if (!file_.write(text.data(), text.size()) || !file_.commit())
            throw std::runtime_error(file_.error());
    }

  private:
    std::string path_;
    exporter::AtomicFile file_;
};

}  // namespace cli
