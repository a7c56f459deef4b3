#include "templates/file_listing.h"

#include <functional>

#include "platform/folder_enumeration.h"
#include "support/printable_text.h"
#include "support/trace_log.h"
#include "support/utf16.h"

namespace kesto {

namespace {

// The search pattern (folder and "*") lives in a 260-character buffer with its terminator.
constexpr std::size_t kMaxPatternChars = 259;

// Hands every entry the folder delivers, hidden ones ("." first) left out, to take.
int List(const std::string& folder, const std::function<void(const FolderEntry&)>& take) {
    if (Utf16Length(folder) + 1 > kMaxPatternChars) {
        return -1;
    }
    FolderEntry entry;
    const auto enumeration = FolderEnumeration::Start(folder, entry);
    if (!enumeration) {
        return -1;
    }
    const auto consider = [&take](const FolderEntry& delivered) {
        if (!delivered.name.empty() && delivered.name.front() != '.') {
            take(delivered);
        }
    };
    ProcessTraceLog().Write("First file name is %s", PrintableText(entry.name).c_str());
    consider(entry);
    while (enumeration->Next(entry)) {
        ProcessTraceLog().Write("Next file name is %s", PrintableText(entry.name).c_str());
        consider(entry);
    }
    const std::uint32_t error = enumeration->LastError();
    if (error != FolderEnumeration::kNoMoreEntries) {
        ProcessTraceLog().Write("FindNextFile error. Error is %u", static_cast<unsigned>(error));
        return -1;
    }
    return 1;
}

}  // namespace

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
