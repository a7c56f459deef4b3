#include "cli/decorate_options.h"

#include <sstream>

#include "platform/net_layer.h"

namespace kesto {

namespace {

// Applies --areas LIST: a comma-separated subset of sign, main, categories, or "none".
bool ApplyAreas(const std::string& list, DecorateOptions& options, std::string& error) {
    options.shopSign = options.mainPage = options.categories = false;
    if (list == "none") {
        return true;
    }
    std::istringstream items(list);
    std::string item;
    bool any = false;
    while (std::getline(items, item, ',')) {
        if (item == "sign") {
            options.shopSign = true;
        } else if (item == "main") {
            options.mainPage = true;
        } else if (item == "categories") {
            options.categories = true;
        } else {
            error = "unknown area '" + item + "' in --areas (use sign, main, categories or none)";
            return false;
        }
        any = true;
    }
    if (!any || list.back() == ',') {
        error = "--areas needs a comma-separated list of sign, main, categories, or none";
        return false;
    }
    return true;
}

}  // namespace

std::string DecorateUsage() {
    return "usage: kesto-decorate --template DIR [--areas LIST] [--cookies FILE] [--yes]\n"
           "       kesto-decorate --check --template DIR [--areas LIST] [--json]\n"
           "       kesto-decorate --plan --template DIR [--areas LIST] [--cookies FILE] [--json]\n"
           "\n"
           "Decorates the logged-in user's shop with a template, or with --check looks at the\n"
           "template only: errors, warnings and notes for each file, nothing sent.\n"
           "\n"
           "  --template DIR   the template folder (with head, main and class)\n"
           "  --areas LIST     comma-separated subset of sign, main, categories, or none\n"
           "                   (default: all three)\n"
           "  --cookies FILE   a Netscape cookies.txt with the marketplace login (default: the\n"
           "                   file the desktop program's login leaves behind)\n"
           "  --yes            do not ask before the shop's categories are replaced\n"
           "  --check          check the template for the areas and send nothing; exit 0\n"
           "                   without errors, 3 with\n"
           "  --plan           log in and read the shop (layout, categories, album) without\n"
           "                   changing anything; print what a run would change; exit 0 when a\n"
           "                   run could go ahead\n"
           "  --json           with --check or --plan: print one JSON document\n"
           "  --help           show this text\n"
           "\n"
           "The marketplace is reached through the system proxy, set in\n" +
           net::ProxySettingPlace() +
           ".\n"
           "Progress lines go to standard output; why an area failed, and what is wrong with a\n"
           "template, to standard error.\n"
           "Exit status: 0 decorated, 1 an area failed, 2 usage error, 3 the template did not\n"
           "pass the check made before the first request (nothing was sent).\n";
}

ParsedOptions ParseDecorateOptions(const std::vector<std::string>& arguments) {
    DecorateOptions options;
    std::string error;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        const bool takesValue =
            argument == "--template" || argument == "--areas" || argument == "--cookies";
        if (takesValue && i + 1 >= arguments.size()) {
            return {std::nullopt, argument + " needs a value"};
        }
        if (argument == "--help" || argument == "-h") {
            options.help = true;
        } else if (argument == "--yes" || argument == "-y") {
            options.confirmed = true;
        } else if (argument == "--check") {
            options.check = true;
        } else if (argument == "--plan") {
            options.plan = true;
        } else if (argument == "--json") {
            options.json = true;
        } else if (argument == "--template") {
            options.templateFolder = arguments[++i];
        } else if (argument == "--cookies") {
            options.cookieFile = arguments[++i];
        } else if (argument == "--areas") {
            if (!ApplyAreas(arguments[++i], options, error)) {
                return {std::nullopt, error};
            }
        } else {
            return {std::nullopt, "unknown argument '" + argument + "'"};
        }
    }
    if (!options.help && options.templateFolder.empty()) {
        return {std::nullopt, "--template DIR is required"};
    }
    if (options.json && !options.check && !options.plan) {
        return {std::nullopt, "--json goes with --check or --plan"};
    }
    if (options.check && options.plan) {
        return {std::nullopt, "--check and --plan go one at a time"};
    }
    return {options, {}};
}

}  // namespace kesto
