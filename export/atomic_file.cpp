#include "atomic_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
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

bool AtomicFile::fail(int error) {
    error_ = path_.empty() ? "cannot write an unnamed file"
                           : "cannot write " + path_ + ": " + std::strerror(error);
    abandon();
    return false;
}

bool AtomicFile::create(const std::string& path) {
    abandon();
    path_ = path;
    error_.clear();
    if (path.empty())
        return fail(0);
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
        error_ = "cannot write " + path + ": it is a directory";
        return false;
    }
    if (injectedFailure())
        return fail(EIO);
    // The temporary name lies next to the target so that the rename never crosses file systems.
    std::vector<char> name(path.begin(), path.end());
    const char suffix[] = ".tmp-XXXXXX";
    name.insert(name.end(), suffix, suffix + sizeof suffix);
    const int fd = ::mkstemp(name.data());
    if (fd < 0)
        return fail(errno);
    // mkstemp makes the file private; give it the mode an ordinary new file would have.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
    temporary_ = name.data();
    file_ = ::fdopen(fd, "wb");
    if (!file_) {
        const int error = errno;
        ::close(fd);
        return fail(error);
    }
    return true;
}

bool AtomicFile::write(const void* data, std::size_t n) {
    if (!file_)
        return false;
    if (injectedFailure())
        return fail(EIO);
    if (std::fwrite(data, 1, n, file_) != n)
        return fail(errno ? errno : EIO);
    return true;
}

bool AtomicFile::commit() {
    if (!file_)
        return false;
    int error = injectedFailure() ? EIO : 0;
    if (std::fflush(file_) != 0 && !error)
        error = errno;
    if (::fsync(::fileno(file_)) != 0 && !error)
        error = errno;
    if (std::fclose(file_) != 0 && !error)
        error = errno;
    file_ = nullptr;
    if (!error && std::rename(temporary_.c_str(), path_.c_str()) != 0)
        error = errno;
    if (error)
        return fail(error);
    temporary_.clear();
    return true;
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

std::string writeFileAtomically(const std::string& path, const std::string& content) {
    AtomicFile file;
    if (!file.create(path) || !file.write(content.data(), content.size()) || !file.commit())
        return file.error();
    return {};
}

std::string writeFileAtomically(const std::string& path,
                                const std::function<bool(std::FILE*)>& write) {
    // The callback writes to memory first, so that every byte goes through the one file.
    char* buffer = nullptr;
    std::size_t size = 0;
    std::FILE* memory = ::open_memstream(&buffer, &size);
    if (!memory)
        return "cannot write " + path + ": out of memory";
    const bool produced = write(memory);
    std::fclose(memory);
    const std::string content = produced ? std::string(buffer, size) : std::string();
    std::free(buffer);
    if (!produced)
        return "cannot write " + path;
    return writeFileAtomically(path, content);
}

}  // namespace exporter
