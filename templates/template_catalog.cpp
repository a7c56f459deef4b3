#include "templates/template_catalog.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "support/file_path.h"
#include "templates/file_listing.h"

namespace kesto {

namespace {

// A name as the listing gives them: no folder part, not hidden (which also rules out "." and "..").
bool IsBareName(const std::string& text) {
    return !text.empty() && text[0] != '.' &&
           text.find_first_of(std::string("/") + kPathSeparator) == std::string::npos;
}

}  // namespace

std::vector<TemplateEntry> ListTemplates(const std::vector<std::string>& roots) {
    std::vector<TemplateEntry> templates;
    for (const std::string& root : roots) {
        std::vector<std::string> names;
        ListSubfolders(root, names);
        for (std::string& name : names) {
            const bool hidden =
                std::any_of(templates.begin(), templates.end(),
                            [&name](const TemplateEntry& known) { return known.name == name; });
            if (!hidden) {
                std::string folder = root + name + kPathSeparator;
                templates.push_back({std::move(name), std::move(folder)});
            }
        }
    }
    return templates;
}

std::optional<std::string> FindTemplateFolder(const std::string& folderOrName,
                                              const std::vector<std::string>& roots) {
    std::error_code error;
    if (std::filesystem::is_directory(PathFromUtf8(folderOrName), error)) {
        return folderOrName;
    }
    if (!IsBareName(folderOrName)) {
        return std::nullopt;
    }
    for (const std::string& root : roots) {
        const std::string folder = root + folderOrName;
        if (std::filesystem::is_directory(PathFromUtf8(folder), error)) {
            return folder;
        }
    }
    return std::nullopt;
}

}  // namespace kesto
