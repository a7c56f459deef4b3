#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "platform/portable/message_catalog.h"
#include "platform/system.h"
#include "platform/translation.h"
#include "platform/win32/wide_text.h"

namespace kesto {

namespace {

// A catalog is a few kilobytes; anything far larger is not one of ours.
constexpr std::uint64_t kLargestCatalog = 4 * 1024 * 1024;

// The program's catalog, read once by StartTranslations before other threads start and only
// looked up afterwards.
MessageCatalog& Catalog() {
    static MessageCatalog catalog;
    return catalog;
}

// The catalog's language for the user's interface language: Chinese for every Chinese variant
// (a reader of Traditional Chinese reads the Simplified catalog far more easily than English,
// and the marketplace itself speaks Simplified Chinese), else none, English.
const char* CatalogLanguage(LANGID interfaceLanguage) {
    return PRIMARYLANGID(interfaceLanguage) == LANG_CHINESE ? "zh_CN" : nullptr;
}

struct HandleCloser {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using UniqueHandle = std::unique_ptr<void, HandleCloser>;

// The whole regular file at path; empty when it is missing, not a file on disk, too large or
// unreadable.
std::string ReadCatalogFile(const std::string& path) {
    const HANDLE opened = CreateFileW(win32::Widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (opened == INVALID_HANDLE_VALUE) {
        return {};
    }
    const UniqueHandle file(opened);
    LARGE_INTEGER size{};
    if (GetFileType(file.get()) != FILE_TYPE_DISK || !GetFileSizeEx(file.get(), &size) ||
        size.QuadPart <= 0 || static_cast<std::uint64_t>(size.QuadPart) > kLargestCatalog) {
        return {};
    }
    std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
    std::size_t done = 0;
    while (done < bytes.size()) {
        DWORD read = 0;
        if (!ReadFile(file.get(), bytes.data() + done, static_cast<DWORD>(bytes.size() - done),
                      &read, nullptr) ||
            read == 0) {
            return {};
        }
        done += read;
    }
    return bytes;
}

}  // namespace

// The catalogs are the ones msgfmt compiles from the same translations as on other systems,
// installed beside the program as locale\LANGUAGE\LC_MESSAGES\kesto-decor.mo. A missing or
// damaged catalog leaves the program in English.
void StartTranslations() {
    const char* language = CatalogLanguage(GetUserDefaultUILanguage());
    if (language == nullptr) {
        return;
    }
    const std::string path =
        ExecutableFolder() + "locale\\" + language + "\\LC_MESSAGES\\kesto-decor.mo";
    MessageCatalogRead read = ReadMessageCatalog(ReadCatalogFile(path));
    if (read.problem.empty()) {
        Catalog() = std::move(read.catalog);
    }
}

const char* Translate(const char* english) {
    const char* translation = Catalog().Find(english);
    return translation != nullptr ? translation : english;
}

}  // namespace kesto
