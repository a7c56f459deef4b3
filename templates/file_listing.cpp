#include "templates/file_listing.h"

#include <algorithm>
#include <functional>
#include <utility>

#include "platform/folder_enumeration.h"
#include "support/printable_text.h"
#include "support/trace_log.h"
#include "support/utf16.h"

namespace kesto {

namespace {

// What a name is ordered by: its UTF-16 code units with ASCII letters as capitals, then, for
// names that differ in case alone, its exact code units.
using ListingKey = std::pair<std::u16string, std::u16string>;

ListingKey KeyOf(std::string_view name) {
    std::u16string exact = Utf8ToUtf16(name);
    std::u16string capitals = exact;
    for (char16_t& unit : capitals) {
        if (unit >= u'a' && unit <= u'z') {
            unit = static_cast<char16_t>(unit - u'a' + u'A');
        }
    }
    return {std::move(capitals), std::move(exact)};
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
    // Each name's key is made once, not again at each comparison of the sort.
    std::vector<std::pair<ListingKey, FolderEntry>> kept;
    const auto consider = [&kept](const FolderEntry& delivered) {
        if (!delivered.name.empty() && delivered.name.front() != '.') {
            kept.emplace_back(KeyOf(delivered.name), delivered);
        }
    };
    ProcessTraceLog().Write("First file name is %s", PrintableText(entry.name).c_str());
    consider(entry);
    while (enumeration->Next(entry)) {
        ProcessTraceLog().Write("Next file name is %s", PrintableText(entry.name).c_str());
        consider(entry);
    }
    std::sort(kept.begin(), kept.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& [key, listed] : kept) {
        take(listed);
    }
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
    return KeyOf(a) < KeyOf(b);
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
