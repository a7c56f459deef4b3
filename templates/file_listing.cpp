#include "templates/file_listing.h"

#include <algorithm>
#include <functional>

#include "platform/folder_enumeration.h"
#include "support/printable_text.h"
#include "support/trace_log.h"
#include "support/utf16.h"

namespace kesto {

namespace {

char16_t AsciiCapital(char16_t unit) {
    return unit >= u'a' && unit <= u'z' ? static_cast<char16_t>(unit - u'a' + u'A') : unit;
}

// Hands every entry the folder delivers, hidden ones ("." first) left out, to take, in
// NameListedBefore's order.
int List(const std::string& folder, const std::function<void(const FolderEntry&)>& take) {
    if (FolderPathTooLongToList(folder)) {
        return -1;
    }
    FolderEntry entry;
    const auto enumeration = FolderEnumeration::Start(folder, entry);
    if (!enumeration) {
        return -1;
    }
    std::vector<FolderEntry> kept;
    const auto consider = [&kept](const FolderEntry& delivered) {
        if (!delivered.name.empty() && delivered.name.front() != '.') {
            kept.push_back(delivered);
        }
    };
    ProcessTraceLog().Write("First file name is %s", PrintableText(entry.name).c_str());
    consider(entry);
    while (enumeration->Next(entry)) {
        ProcessTraceLog().Write("Next file name is %s", PrintableText(entry.name).c_str());
        consider(entry);
    }
    std::sort(kept.begin(), kept.end(), [](const FolderEntry& a, const FolderEntry& b) {
        return NameListedBefore(a.name, b.name);
    });
    std::for_each(kept.begin(), kept.end(), take);
    const std::uint32_t error = enumeration->LastError();
    if (error != FolderEnumeration::kNoMoreEntries) {
        ProcessTraceLog().Write("FindNextFile error. Error is %u", static_cast<unsigned>(error));
        return -1;
    }
    return 1;
}

}  // namespace

bool FolderPathTooLongToList(std::string_view folder) {
    return Utf16Length(folder) > kMaxListedFolderChars;
}

bool NameListedBefore(std::string_view a, std::string_view b) {
    const std::u16string left = Utf8ToUtf16(a);
    const std::u16string right = Utf8ToUtf16(b);
    const auto [leftEnd, rightEnd] =
        std::mismatch(left.begin(), left.end(), right.begin(), right.end(),
                      [](char16_t x, char16_t y) { return AsciiCapital(x) == AsciiCapital(y); });
    if (leftEnd != left.end() && rightEnd != right.end()) {
        return AsciiCapital(*leftEnd) < AsciiCapital(*rightEnd);
    }
    if (leftEnd != left.end() || rightEnd != right.end()) {
        return rightEnd != right.end();  // the shorter name, a prefix of the other, first
    }
    return left < right;
}

int ListEntries(const std::string& folder, std::vector<std::string>& names) {
    return List(folder, [&names](const FolderEntry& entry) { names.push_back(entry.name); });
}

int ListSubfolders(const std::string& folder, std::vector<std::string>& names) {
    return List(folder, [&names](const FolderEntry& entry) {
        if (entry.isFolder) {
            names.push_back(entry.name);
        }
    });
}

int ListFiles(const std::string& folder, std::vector<std::string>& names) {
    return List(folder, [&names](const FolderEntry& entry) {
        if (!entry.isFolder) {
            names.push_back(entry.name);
        }
    });
}

int ListFilesAndFolders(const std::string& folder, std::vector<std::string>& files,
                        std::vector<std::string>& folders) {
    return List(folder, [&files, &folders](const FolderEntry& entry) {
        (entry.isFolder ? folders : files).push_back(entry.name);
    });
}

}  // namespace kesto
