#pragma once
// Writing a file so that it appears whole or not at all: the bytes go to a temporary file in
// the same folder, which replaces the chosen name only once it is complete and closed. On any
// failure the temporary file is removed and a file that was there stays untouched.

#include <cstddef>
#include <cstdio>
#include <functional>
#include <string>

namespace exporter {

class AtomicFile {
  public:
    AtomicFile() = default;
    ~AtomicFile();  // an uncommitted file is removed
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // Creates the temporary file next to `path`; false when it cannot be created.
    bool create(const std::string& path);
    // Appends n bytes; false when they could not all be written.
    bool write(const void* data, std::size_t n);
    // Flushes, closes and renames the file over `path`; false (temporary file removed) on failure.
    bool commit();
    // Removes the temporary file.
    void abandon();
    // What the last failure was ("cannot write PATH: why").
    const std::string& error() const { return error_; }

  private:
    bool fail(int error);
    std::string path_;
    std::string error_;
    std::string temporary_;
    std::FILE* file_ = nullptr;
};

// Lets tests make the n-th file operation (create, each write, commit) of this thread fail.
class FailingFileOperations {
  public:
    explicit FailingFileOperations(long successes);
    ~FailingFileOperations();
    FailingFileOperations(const FailingFileOperations&) = delete;
    FailingFileOperations& operator=(const FailingFileOperations&) = delete;

  private:
    long saved_;
};

// Writes `content` as the whole file. Returns an empty string on success, else what failed,
// naming the file ("cannot write PATH: why").
std::string writeFileAtomically(const std::string& path, const std::string& content);

// The same with the content produced by `write` on a binary stream; `write` returns false on a
// failure of its own.
std::string writeFileAtomically(const std::string& path,
                                const std::function<bool(std::FILE*)>& write);

}  // namespace exporter
