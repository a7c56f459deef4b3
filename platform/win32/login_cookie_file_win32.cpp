#include "platform/login_cookie_file.h"

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <system_error>

#include "support/file_path.h"

namespace kesto {

namespace {

// A temporary file beside the target, removed unless it was moved into place.
class TemporaryBeside {
  public:
    explicit TemporaryBeside(const std::filesystem::path& target)
        : path_(target.wstring() + L".saving") {}
    ~TemporaryBeside() {
        if (!path_.empty()) {
            DeleteFileW(path_.c_str());
        }
    }
    TemporaryBeside(const TemporaryBeside&) = delete;
    TemporaryBeside& operator=(const TemporaryBeside&) = delete;

    const std::wstring& path() const { return path_; }
    bool MoveTo(const std::filesystem::path& target) {
        if (!MoveFileExW(path_.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING)) {
            return false;
        }
        path_.clear();
        return true;
    }

  private:
    std::wstring path_;
};

}  // namespace

bool SaveLoginCookieFile(const std::string& path, const std::string& content) {
    if (path.empty()) {
        return false;
    }
    const std::filesystem::path target = PathFromUtf8(path);
    std::error_code error;
    std::filesystem::create_directories(target.parent_path(), error);
    TemporaryBeside temporary(target);
    {
        std::ofstream file(std::filesystem::path(temporary.path()),
                           std::ios::binary | std::ios::trunc);
        file.write(content.data(), static_cast<std::streamsize>(content.size()));
        file.close();
        if (!file) {
            return false;
        }
    }
    return temporary.MoveTo(target);
}

}  // namespace kesto
