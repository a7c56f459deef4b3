#pragma once
// The command line of kesto-decorate:
//   kesto-decorate --template DIR [--areas LIST] [--cookies FILE] [--yes] [--parallel N]
//   kesto-decorate --check --template DIR [--areas LIST] [--json]
//   kesto-decorate --plan --template DIR [--areas LIST] [--cookies FILE] [--json]
//   kesto-decorate --login
//   kesto-decorate --list-templates | --version | --help
// DIR may also be the name of a template found where the programs look for templates.

#include <optional>
#include <string>
#include <vector>

namespace kesto {

struct DecorateOptions {
    std::string templateFolder;
    bool shopSign = true;
    bool mainPage = true;
    bool categories = true;
    std::string cookieFile;  // empty: the desktop program's cookie file
    bool confirmed = false;  // --yes: deleting the shop's categories needs no question
    bool help = false;
    bool check = false;          // --check: look at the template, send nothing
    bool plan = false;           // --plan: what a run would change, with reading requests only
    bool json = false;           // --json: the check's findings or the plan as one JSON document
    bool listTemplates = false;  // --list-templates: the templates found and their folders
    bool login = false;          // --login: log in in kesto-design's login window
    bool version = false;
    int parallelUploads = 1;  // --parallel N: picture uploads of an area under way at once
};

struct ParsedOptions {
    std::optional<DecorateOptions> options;
    std::string error;  // why the command line was refused
};

ParsedOptions ParseDecorateOptions(const std::vector<std::string>& arguments);

// The text --help prints, naming the template folders searched (each ending with the path
// separator, in search order).
std::string DecorateUsage(const std::vector<std::string>& templateRoots);

}  // namespace kesto
