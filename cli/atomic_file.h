#pragma once
// An output file that appears whole or not at all: the text goes to a temporary file in the
// same folder, which replaces the target only when everything has been written.

#include <string>

namespace cli {

class AtomicFile {
  public:
    // Creates the temporary file next to `path`; throws std::runtime_error when the folder
    // cannot take it (so that a bad path is found before any work).
    explicit AtomicFile(std::string path);
    ~AtomicFile();  // removes the temporary file unless committed
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    const std::string& path() const { return path_; }
    // Writes `text`, flushes it to the disk and renames the temporary file over the target;
    // throws std::runtime_error (the target untouched) on failure.
    void commit(const std::string& text);

  private:
    std::string path_;
    std::string temporary_;
    int fd_ = -1;
};

}  // namespace cli
