#include "browser/win32/browser_emulation.h"

#include <filesystem>
#include <vector>

namespace kesto::win32 {

namespace {

constexpr wchar_t kEngineKey[] = L"Software\\Microsoft\\Internet Explorer";
constexpr DWORD kLongestPath = 32768;
constexpr int kNewestMode = 11;

class RegistryKey {
  public:
    RegistryKey() = default;
    ~RegistryKey() {
        if (key_ != nullptr) {
            RegCloseKey(key_);
        }
    }
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;
    HKEY* out() { return &key_; }
    HKEY get() const { return key_; }

  private:
    HKEY key_ = nullptr;
};

// The leading decimal number of the text, and the rest after it; nothing without digits.
std::optional<int> TakeNumber(std::wstring_view& text) {
    int number = 0;
    std::size_t length = 0;
    while (length < text.size() && length < 4 && text[length] >= L'0' && text[length] <= L'9') {
        number = number * 10 + (text[length] - L'0');
        ++length;
    }
    if (length == 0) {
        return std::nullopt;
    }
    text.remove_prefix(length);
    return number;
}

std::wstring ReadText(HKEY key, const wchar_t* name) {
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExW(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        type != REG_SZ || size == 0) {
        return {};
    }
    std::vector<wchar_t> text(size / sizeof(wchar_t) + 1, L'\0');
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(text.data()), &size) !=
        ERROR_SUCCESS) {
        return {};
    }
    return text.data();
}

std::wstring ExecutableFileName() {
    std::vector<wchar_t> path(kLongestPath, L'\0');
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), kLongestPath);
    if (length == 0 || length >= kLongestPath) {
        return {};
    }
    return std::filesystem::path(std::wstring(path.data(), length)).filename().wstring();
}

}  // namespace

std::optional<DWORD> EmulationModeForEngineVersion(std::wstring_view version) {
    std::optional<int> major = TakeNumber(version);
    if (major == 9 && version.starts_with(L'.')) {
        version.remove_prefix(1);
        if (const std::optional<int> minor = TakeNumber(version); minor >= 10) {
            major = minor;
        }
    }
    if (!major) {
        return std::nullopt;
    }
    switch (*major) {
        case 7:
            return 7000;
        case 8:
            return 8888;
        case 9:
            return 9999;
        case 10:
            return 10001;
        default:
            // Engine 11 is the last; a later number renders at least as well in its mode.
            return *major >= kNewestMode ? std::optional<DWORD>(11001) : std::nullopt;
    }
}

// Engines 10 and later give their version as "svcVersion"; "Version" is older engines'.
std::wstring InstalledEngineVersion() {
    RegistryKey key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kEngineKey, 0, KEY_READ, key.out()) != ERROR_SUCCESS) {
        return {};
    }
    std::wstring version = ReadText(key.get(), L"svcVersion");
    return version.empty() ? ReadText(key.get(), L"Version") : version;
}

bool SetBrowserEmulationForThisProgram() {
    const std::optional<DWORD> mode = EmulationModeForEngineVersion(InstalledEngineVersion());
    const std::wstring program = ExecutableFileName();
    RegistryKey key;
    if (!mode || program.empty() ||
        RegCreateKeyExW(HKEY_CURRENT_USER, kBrowserEmulationKey, 0, nullptr, 0, KEY_SET_VALUE,
                        nullptr, key.out(), nullptr) != ERROR_SUCCESS) {
        return false;
    }
    const DWORD value = *mode;
    return RegSetValueExW(key.get(), program.c_str(), 0, REG_DWORD,
                          reinterpret_cast<const BYTE*>(&value), sizeof(value)) == ERROR_SUCCESS;
}

}  // namespace kesto::win32
