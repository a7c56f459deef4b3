#include "templates/template_roots.h"

#include <algorithm>

#include "platform/system.h"
#include "support/file_path.h"

namespace kesto {

namespace {

// The templates folder the programs share inside a data folder.
std::string SharedTemplates(const std::string& dataFolder) {
    return WithTrailingSeparator(dataFolder) + "kesto-decor" + kPathSeparator + "templates" +
           kPathSeparator;
}

void AddOnce(std::vector<std::string>& roots, std::string root) {
    if (std::find(roots.begin(), roots.end(), root) == roots.end()) {
        roots.push_back(std::move(root));
    }
}

}  // namespace

std::vector<std::string> TemplateRoots(const TemplatePlaces& places) {
    std::vector<std::string> roots;
    if (!places.executableFolder.empty()) {
        AddOnce(roots,
                WithTrailingSeparator(places.executableFolder) + "template" + kPathSeparator);
    }
    if (!places.userDataFolder.empty()) {
        AddOnce(roots, SharedTemplates(places.userDataFolder));
    }
    for (const std::string& folder : places.systemDataFolders) {
        if (!folder.empty()) {
            AddOnce(roots, SharedTemplates(folder));
        }
    }
    return roots;
}

TemplatePlaces ProcessTemplatePlaces() {
    return {ExecutableFolder(), UserDataFolder(), SystemDataFolders()};
}

}  // namespace kesto
