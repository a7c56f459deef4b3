#include "platform/private_file.h"

#include <windows.h>

#include <sddl.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string_view>
#include <system_error>
#include <vector>

#include "platform/win32/wide_text.h"

namespace kesto {

namespace {

struct HandleCloser {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using UniqueHandle = std::unique_ptr<void, HandleCloser>;

struct LocalFreer {
    void operator()(void* memory) const { LocalFree(memory); }
};
template <typename T>
using LocalMemory = std::unique_ptr<T, LocalFreer>;

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
        if (!MoveFileExW(path_.c_str(), target.c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            return false;
        }
        path_.clear();
        return true;
    }

  private:
    std::wstring path_;
};

// The SID of the user the process runs as, in its text form ("S-1-5-21-..."); empty when the
// process token cannot tell.
std::wstring CurrentUserSid() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) {
        return {};
    }
    const UniqueHandle tokenHandle(token);
    DWORD size = 0;
    GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    std::vector<BYTE> buffer(size);
    if (size == 0 || !GetTokenInformation(token, TokenUser, buffer.data(), size, &size)) {
        return {};
    }
    wchar_t* text = nullptr;
    if (!ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid, &text)) {
        return {};
    }
    const LocalMemory<wchar_t> textMemory(text);
    return text;
}

// A security descriptor whose protected DACL lets the current user alone at the file: nothing
// is inherited from the folder, so no other account can read the login's cookies.
LocalMemory<void> OwnerOnlyDescriptor() {
    const std::wstring sid = CurrentUserSid();
    if (sid.empty()) {
        return nullptr;
    }
    const std::wstring sddl = L"D:P(A;;FA;;;" + sid + L")";
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1,
                                                              &descriptor, nullptr)) {
        return nullptr;
    }
    return LocalMemory<void>(descriptor);
}

bool WriteAll(HANDLE file, std::string_view bytes) {
    while (!bytes.empty()) {
        const DWORD piece = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 20));
        DWORD written = 0;
        if (!WriteFile(file, bytes.data(), piece, &written, nullptr) || written == 0) {
            return false;
        }
        bytes.remove_prefix(written);
    }
    return true;
}

// Creates the temporary file afresh with the owner-only descriptor (a file of that name left by
// an earlier run would keep its own rights, so it goes first) and writes the content to it.
bool WriteOwnerOnly(const std::wstring& path, std::string_view content) {
    const LocalMemory<void> descriptor = OwnerOnlyDescriptor();
    if (!descriptor) {
        return false;
    }
    SECURITY_ATTRIBUTES attributes{sizeof(SECURITY_ATTRIBUTES), descriptor.get(), FALSE};
    DeleteFileW(path.c_str());
    const HANDLE created = CreateFileW(path.c_str(), GENERIC_WRITE, 0, &attributes, CREATE_NEW,
                                       FILE_ATTRIBUTE_NORMAL, nullptr);
    if (created == INVALID_HANDLE_VALUE) {
        return false;
    }
    const UniqueHandle file(created);
    return WriteAll(file.get(), content) && FlushFileBuffers(file.get());
}

}  // namespace

bool SavePrivateFile(const std::string& path, const std::string& content) {
    if (path.empty()) {
        return false;
    }
    const std::filesystem::path target(win32::Widen(path));
    std::error_code error;
    std::filesystem::create_directories(target.parent_path(), error);
    TemporaryBeside temporary(target);
    return WriteOwnerOnly(temporary.path(), content) && temporary.MoveTo(target);
}

}  // namespace kesto
