#include "atomic_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace exporter {

namespace {

// File operations left before a forced failure on this thread; negative: never fail.
thread_local long operationsBeforeFailure = -1;

bool injectedFailure() {
    if (operationsBeforeFailure == 0)
        return true;
    if (operationsBeforeFailure > 0)
        --operationsBeforeFailure;
    return false;
}

}  // namespace

FailingFileOperations::FailingFileOperations(long successes) : saved_(operationsBeforeFailure) {
    operationsBeforeFailure = successes;
}
FailingFileOperations::~FailingFileOperations() {
    operationsBeforeFailure = saved_;
}

AtomicFile::~AtomicFile() {
    abandon();
}

bool AtomicFile::create(const std::string& path) {
    abandon();
    if (injectedFailure())
        return false;
    // The temporary name lies next to the target so that the rename never crosses file systems.
    std::vector<char> name(path.begin(), path.end());
    const char suffix[] = ".tmp-XXXXXX";
    name.insert(name.end(), suffix, suffix + sizeof suffix);
    const int fd = ::mkstemp(name.data());
    if (fd < 0)
        return false;
    // mkstemp makes the file private; give it the mode an ordinary new file would have.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
    file_ = ::fdopen(fd, "wb");
    if (!file_) {
        ::close(fd);
        ::unlink(name.data());
        return false;
    }
    path_ = path;
    temporary_ = name.data();
    return true;
}

bool AtomicFile::write(const void* data, std::size_t n) {
    if (!file_ || injectedFailure())
        return false;
    return std::fwrite(data, 1, n, file_) == n;
}

bool AtomicFile::commit() {
    if (!file_)
        return false;
    bool ok = !injectedFailure();
    ok = std::fflush(file_) == 0 && ok;
    ok = ::fsync(::fileno(file_)) == 0 && ok;
    ok = std::fclose(file_) == 0 && ok;
    file_ = nullptr;
    if (ok && std::rename(temporary_.c_str(), path_.c_str()) == 0) {
        temporary_.clear();
        return true;
    }
    abandon();
    return false;
}

void AtomicFile::abandon() {
    if (file_) {
        std::fclose(file_);
        file_ = nullptr;
    }
    if (!temporary_.empty()) {
        ::unlink(temporary_.c_str());
        temporary_.clear();
    }
}

std::string writeFileAtomically(const std::string& path,
                                const std::function<bool(std::FILE*)>& write) {
    AtomicFile file;
    if (!file.create(path))
        return "cannot create a file next to " + path + ": " + std::strerror(errno);
    // The callback writes through a memory stream so that every byte goes through the file.
    char* buffer = nullptr;
    std::size_t size = 0;
    std::FILE* memory = ::open_memstream(&buffer, &size);
    if (!memory)
        return "cannot write " + path;
    const bool produced = write(memory);
    std::fclose(memory);
    const bool written = produced && file.write(buffer, size);
    std::free(buffer);
    if (!written || !file.commit())
        return "cannot write " + path;
    return {};
}

}  // namespace exporter
