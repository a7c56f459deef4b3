// Links on POSIX systems: lstat tells a symbolic link, realpath follows every one.

#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <memory>

#include "platform/file_links.h"

namespace kesto {

namespace {

// The path without separators at its end, except for the root itself.
std::string WithoutTrailingSeparators(std::string path) {
    while (path.size() > 1 && path.back() == '/') {
        path.pop_back();
    }
    return path;
}

struct FreeDeleter {
    void operator()(char* text) const { free(text); }
};

}  // namespace

bool IsLink(const std::string& path) {
    struct stat status {};
    return lstat(WithoutTrailingSeparators(path).c_str(), &status) == 0 && S_ISLNK(status.st_mode);
}

std::string ResolvedPath(const std::string& path) {
    const std::unique_ptr<char, FreeDeleter> resolved(
        realpath(WithoutTrailingSeparators(path).c_str(), nullptr));
    return resolved ? std::string(resolved.get()) : std::string();
}

}  // namespace kesto
