#include "app/win32/link_colours_registry.h"

#include <windows.h>

#include <optional>
#include <string>

#include "platform/win32/wide_text.h"

namespace kesto::win32 {

namespace {

constexpr wchar_t kSettingsKey[] = L"Software\\Microsoft\\Internet Explorer\\Settings";
// The longest value read, its terminating NUL included.
constexpr DWORD kMaxValueCharacters = 12;

// Closes the key on every path.
class RegistryKey {
  public:
    RegistryKey(HKEY parent, const wchar_t* path, REGSAM access) {
        if (RegOpenKeyExW(parent, path, 0, access, &key_) != ERROR_SUCCESS) {
            key_ = nullptr;
        }
    }
    ~RegistryKey() {
        if (key_ != nullptr) {
            RegCloseKey(key_);
        }
    }
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;
    HKEY get() const { return key_; }

  private:
    HKEY key_ = nullptr;
};

// A string value of at most 11 characters with its terminator; longer values, other types and
// unterminated data count as missing.
std::optional<std::string> ReadShortText(HKEY key, const wchar_t* name) {
    wchar_t buffer[kMaxValueCharacters] = {};
    DWORD type = 0;
    DWORD size = sizeof(buffer);
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) !=
        ERROR_SUCCESS) {
        return std::nullopt;
    }
    if ((type != REG_SZ && type != REG_EXPAND_SZ) || size < sizeof(wchar_t) ||
        size % sizeof(wchar_t) != 0) {
        return std::nullopt;
    }
    const std::size_t characters = size / sizeof(wchar_t);
    if (buffer[characters - 1] != L'\0') {
        return std::nullopt;
    }
    return Narrow(std::wstring_view(buffer, wcsnlen(buffer, characters - 1)));
}

void ReadColour(HKEY key, const wchar_t* name, LinkColour& colour) {
    if (const auto text = ReadShortText(key, name)) {
        if (const auto parsed = ParseLinkColour(*text)) {
            colour = *parsed;
        }
    }
}

}  // namespace

void ReadBrowserLinkColours(LinkColour& link, LinkColour& visited) {
    const RegistryKey key(HKEY_CURRENT_USER, kSettingsKey, KEY_READ | KEY_WRITE);
    if (key.get() == nullptr) {
        return;
    }
    ReadColour(key.get(), L"Anchor Color", link);
    ReadColour(key.get(), L"Anchor Color Visited", visited);
}

}  // namespace kesto::win32
