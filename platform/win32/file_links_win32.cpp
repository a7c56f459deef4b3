// Links on Windows: a reparse point (symbolic link, junction, mount point) is a link; where an
// entry stands is what GetFinalPathNameByHandleW tells of a handle opened through every link.

#include <windows.h>

#include <memory>
#include <string_view>

#include "platform/file_links.h"
#include "platform/win32/wide_text.h"

namespace kesto {

namespace {

std::wstring WithoutTrailingSeparators(std::wstring path) {
    while (path.size() > 3 && (path.back() == L'\\' || path.back() == L'/')) {
        path.pop_back();
    }
    return path;
}

struct HandleCloser {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using UniqueHandle = std::unique_ptr<void, HandleCloser>;

// The final path without the "\\?\" the call puts in front ("\\?\UNC\" for a network share).
std::wstring WithoutLongPathPrefix(std::wstring path) {
    constexpr std::wstring_view kUnc = L"\\\\?\\UNC\\";
    constexpr std::wstring_view kLong = L"\\\\?\\";
    if (path.starts_with(kUnc)) {
        return L"\\\\" + path.substr(kUnc.size());
    }
    if (path.starts_with(kLong)) {
        return path.substr(kLong.size());
    }
    return path;
}

}  // namespace

bool IsLink(const std::string& path) {
    const DWORD attributes =
        GetFileAttributesW(WithoutTrailingSeparators(win32::Widen(path)).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES &&
           (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

std::string ResolvedPath(const std::string& path) {
    // No access rights are asked for: the handle only names the entry. Folders need the backup
    // semantics flag to be opened at all.
    const HANDLE opened = CreateFileW(WithoutTrailingSeparators(win32::Widen(path)).c_str(), 0,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (opened == INVALID_HANDLE_VALUE) {
        return {};
    }
    const UniqueHandle handle(opened);
    std::wstring finalPath(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetFinalPathNameByHandleW(handle.get(), finalPath.data(),
                                                       static_cast<DWORD>(finalPath.size()),
                                                       FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
        if (length == 0) {
            return {};
        }
        if (length < finalPath.size()) {
            finalPath.resize(length);
            return win32::Narrow(WithoutLongPathPrefix(std::move(finalPath)));
        }
        finalPath.resize(length);  // the size needed, its terminator included
    }
}

}  // namespace kesto
