// The single-writer append file on Windows: opened for writing with read-only sharing.

#include <windows.h>

#include "platform/exclusive_file.h"
#include "platform/win32/wide_text.h"

namespace kesto {

namespace {

class Win32ExclusiveFile final : public ExclusiveAppendFile {
  public:
    explicit Win32ExclusiveFile(HANDLE handle) : handle_(handle) {}
    ~Win32ExclusiveFile() override { CloseHandle(handle_); }
    Win32ExclusiveFile(const Win32ExclusiveFile&) = delete;
    Win32ExclusiveFile& operator=(const Win32ExclusiveFile&) = delete;

    bool Append(std::string_view bytes) override {
        SetFilePointer(handle_, 0, nullptr, FILE_END);
        DWORD written = 0;
        return WriteFile(handle_, bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                         nullptr) != 0 &&
               written == bytes.size();
    }

  private:
    HANDLE handle_;
};

}  // namespace

std::unique_ptr<ExclusiveAppendFile> ExclusiveAppendFile::Open(const std::string& path) {
    // A link is opened as itself, never followed, and only a file on a disk is taken.
    const HANDLE handle =
        CreateFileW(win32::Widen(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                    OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return nullptr;
    }
    auto file = std::make_unique<Win32ExclusiveFile>(handle);
    BY_HANDLE_FILE_INFORMATION information{};
    if (GetFileType(handle) != FILE_TYPE_DISK ||
        GetFileInformationByHandle(handle, &information) == 0 ||
        (information.dwFileAttributes &
         (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) != 0) {
        return nullptr;
    }
    return file;
}

bool CreateNewFile(const std::string& path) {
    // CREATE_NEW fails when anything, a link included, already has the name.
    const HANDLE handle =
        CreateFileW(win32::Widen(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return false;
    }
    CloseHandle(handle);
    return true;
}

}  // namespace kesto
