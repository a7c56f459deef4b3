#pragma once
// Where the programs look for templates, in this order:
//   1. the folder "template" beside the executable (the Windows program, the build tree);
//   2. <user data folder>/kesto-decor/templates ($XDG_DATA_HOME, by default ~/.local/share);
//   3. <each system data folder>/kesto-decor/templates ($XDG_DATA_DIRS, by default
//      /usr/local/share then /usr/share, where the Debian package puts its templates).
// A template found in an earlier folder hides one of the same name in a later folder.

#include <string>
#include <vector>

namespace kesto {

// The folders the search starts from; each ends with the path separator, empty when unknown.
struct TemplatePlaces {
    std::string executableFolder;
    std::string userDataFolder;
    std::vector<std::string> systemDataFolders;
};

// The template roots for those places, in search order, each ending with the path separator,
// each once; unknown places yield none.
std::vector<std::string> TemplateRoots(const TemplatePlaces& places);

// The places of the running program, as the operating system reports them.
TemplatePlaces ProcessTemplatePlaces();

}  // namespace kesto
