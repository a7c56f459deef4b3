#pragma once
// The templates found under the template roots (see template_roots.h): every sub-folder of a
// root is one template, named after its folder.

#include <optional>
#include <string>
#include <vector>

namespace kesto {

struct TemplateEntry {
    std::string name;
    std::string folder;  // root + name, ending with the path separator
};

// The templates of all roots, root by root in the order given, each root's folders in the order
// the file system delivers them. A name met again in a later root is left out: the earlier
// template hides it. Missing or unreadable roots add nothing.
std::vector<TemplateEntry> ListTemplates(const std::vector<std::string>& roots);

// The template folder --template names: the folder itself when it exists, else, for a bare name
// (no path separator, not starting with "."), the folder of the first template of that name under
// the roots. Nothing when neither is found.
std::optional<std::string> FindTemplateFolder(const std::string& folderOrName,
                                              const std::vector<std::string>& roots);

}  // namespace kesto
