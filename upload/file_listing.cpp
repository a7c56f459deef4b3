#include "upload/file_listing.h"

#include "platform/folder_enumeration.h"
#include "support/printable_text.h"
#include "support/trace_log.h"
#include "support/utf16.h"

namespace kesto {

namespace {

// The search pattern (folder and "*") lives in a 260-character buffer with its terminator.
constexpr std::size_t kMaxPatternChars = 259;

enum class Filter { AllEntries, FoldersOnly, FilesOnly };

void Consider(const FolderEntry& entry, Filter filter, std::vector<std::string>& names) {
    if (entry.name.empty() || entry.name.front() == '.') {
        return;
    }
    if ((filter == Filter::FoldersOnly && !entry.isFolder) ||
        (filter == Filter::FilesOnly && entry.isFolder)) {
        return;
    }
    names.push_back(entry.name);
}

int List(const std::string& folder, Filter filter, std::vector<std::string>& names) {
    if (Utf16Length(folder) + 1 > kMaxPatternChars) {
        return -1;
    }
    FolderEntry entry;
    const auto enumeration = FolderEnumeration::Start(folder, entry);
    if (!enumeration) {
        return -1;
    }
    ProcessTraceLog().Write("First file name is %s", PrintableText(entry.name).c_str());
    Consider(entry, filter, names);
    while (enumeration->Next(entry)) {
        ProcessTraceLog().Write("Next file name is %s", PrintableText(entry.name).c_str());
        Consider(entry, filter, names);
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
    return List(folder, Filter::AllEntries, names);
}

int ListSubfolders(const std::string& folder, std::vector<std::string>& names) {
    return List(folder, Filter::FoldersOnly, names);
}

int ListFiles(const std::string& folder, std::vector<std::string>& names) {
    return List(folder, Filter::FilesOnly, names);
}

}  // namespace kesto
