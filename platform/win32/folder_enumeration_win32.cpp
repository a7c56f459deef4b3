// Folder enumeration on Windows: FindFirstFileW / FindNextFileW over the pattern folder + "*".

#include <windows.h>

#include "platform/folder_enumeration.h"
#include "platform/win32/wide_text.h"

namespace kesto {

namespace {

void Fill(const WIN32_FIND_DATAW& data, FolderEntry& entry) {
    entry.name = win32::Narrow(data.cFileName);
    entry.isFolder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

class Win32FolderEnumeration final : public FolderEnumeration {
  public:
    explicit Win32FolderEnumeration(HANDLE find) : find_(find) {}
    ~Win32FolderEnumeration() override { FindClose(find_); }
    Win32FolderEnumeration(const Win32FolderEnumeration&) = delete;
    Win32FolderEnumeration& operator=(const Win32FolderEnumeration&) = delete;

    bool Next(FolderEntry& entry) override {
        WIN32_FIND_DATAW data{};
        if (!FindNextFileW(find_, &data)) {
            lastError_ = GetLastError();
            return false;
        }
        Fill(data, entry);
        return true;
    }

    std::uint32_t LastError() const override { return lastError_; }

  private:
    HANDLE find_;
    std::uint32_t lastError_ = kNoMoreEntries;
};

}  // namespace

std::unique_ptr<FolderEnumeration> FolderEnumeration::Start(const std::string& folder,
                                                            FolderEntry& first) {
    WIN32_FIND_DATAW data{};
    const HANDLE find = FindFirstFileW(win32::Widen(folder + "*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) {
        return nullptr;
    }
    Fill(data, first);
    return std::make_unique<Win32FolderEnumeration>(find);
}

}  // namespace kesto
