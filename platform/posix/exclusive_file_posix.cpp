// The single-writer append file on POSIX systems: an exclusive, non-blocking advisory lock held
// for as long as the file is open.

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/exclusive_file.h"

namespace kesto {

namespace {

class PosixExclusiveFile final : public ExclusiveAppendFile {
  public:
    explicit PosixExclusiveFile(int descriptor) : descriptor_(descriptor) {}
    ~PosixExclusiveFile() override { close(descriptor_); }
    PosixExclusiveFile(const PosixExclusiveFile&) = delete;
    PosixExclusiveFile& operator=(const PosixExclusiveFile&) = delete;

    bool Append(std::string_view bytes) override {
        while (!bytes.empty()) {
            const ssize_t written = write(descriptor_, bytes.data(), bytes.size());
            if (written <= 0) {
                return false;
            }
            bytes.remove_prefix(static_cast<std::size_t>(written));
        }
        return true;
    }

  private:
    int descriptor_;
};

}  // namespace

std::unique_ptr<ExclusiveAppendFile> ExclusiveAppendFile::Open(const std::string& path) {
    // A link is never followed, and a FIFO or device never waited on: only a regular file is
    // taken.
    const int descriptor = open(
        path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0644);
    if (descriptor < 0) {
        return nullptr;
    }
    struct stat status {};
    if (fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode) ||
        flock(descriptor, LOCK_EX | LOCK_NB) != 0) {
        close(descriptor);
        return nullptr;
    }
    return std::make_unique<PosixExclusiveFile>(descriptor);
}

bool CreateNewFile(const std::string& path) {
    const int descriptor =
        open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (descriptor < 0) {
        return false;
    }
    close(descriptor);
    return true;
}

}  // namespace kesto
