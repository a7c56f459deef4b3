#include "cli/decorate_options.h"

#include <sstream>

#include "job/parallel_uploads.h"
#include "platform/net_layer.h"
#include "platform/translation.h"
#include "support/fill_in.h"

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
            error = FillIn(
                Translate("unknown area '{}' in --areas (use sign, main, categories or none)"),
                {item});
            return false;
        }
        any = true;
    }
    if (!any || list.back() == ',') {
        error =
            Translate("--areas needs a comma-separated list of sign, main, categories, or none");
        return false;
    }
    return true;
}

// Followed, in the help, by where the system proxy is set.
constexpr const char* kTemplateLookup = TranslatedLater(
    "Templates are looked up, by name, in these folders, in this order; the first template\n"
    "of a name hides later ones:\n");

}  // namespace

std::string DecorateUsage(const std::vector<std::string>& templateRoots) {
    // The forms stay as they are typed; each paragraph and option is translated on its own, so
    // that a change to one leaves the others' translations in place.
    // TRANSLATORS: the label before the forms; six columns wide, as the forms below are indented.
    std::string text =
        std::string(Translate("usage:")) +
        " kesto-decorate --template DIR [--areas LIST] [--cookies FILE] [--yes] [--json]\n"
        "                      [--parallel N]\n"
        "       kesto-decorate --check --template DIR [--areas LIST] [--json]\n"
        "       kesto-decorate --plan --template DIR [--areas LIST] [--cookies FILE] [--json]\n"
        "       kesto-decorate --login\n"
        "       kesto-decorate --list-templates | --version | --help\n"
        "\n";
    for (const char* paragraph : {
             TranslatedLater(
                 "Decorates the logged-in user's shop with a template, or with --check looks at "
                 "the\n"
                 "template only: errors, warnings and notes for each file, nothing sent.\n"),
             "\n",
             TranslatedLater(
                 "  --template DIR   the template folder (with head, main and class), or the name "
                 "of\n"
                 "                   an installed template (see --list-templates)\n"),
             TranslatedLater(
                 "  --areas LIST     comma-separated subset of sign, main, categories, or none\n"
                 "                   (default: all three)\n"),
             TranslatedLater(
                 "  --cookies FILE   a Netscape cookies.txt with the marketplace login (default: "
                 "the\n"
                 "                   file the desktop program's login leaves behind)\n"),
             TranslatedLater(
                 "  --yes            do not ask before the shop's categories are replaced\n"),
             TranslatedLater(
                 "  --parallel N     send up to N picture uploads of an area at once, each on its\n"
                 "                   own connection (1 to 8; default 1, one after another)\n"),
             TranslatedLater(
                 "  --check          check the template for the areas and send nothing; exit 0\n"
                 "                   without errors, 3 with\n"),
             TranslatedLater(
                 "  --plan           log in and read the shop (layout, categories, album) without\n"
                 "                   changing anything; print what a run would change; exit 0 when "
                 "a\n"
                 "                   run could go ahead\n"),
             TranslatedLater(
                 "  --json           with --check or --plan: print one JSON document; with a run:\n"
                 "                   print each progress line as a JSON object on a line of its "
                 "own\n"),
             TranslatedLater("  --list-templates print each template found, its name and folder, "
                             "tab-separated\n"),
             TranslatedLater(
                 "  --login          log in to the marketplace in kesto-design's login window\n"
                 "                   (kesto-design --login, found beside this program or on "
                 "PATH),\n"
                 "                   which leaves the login in the default cookie file; needs a\n"
                 "                   display\n"),
             TranslatedLater("  --version        print the program's version\n"),
             TranslatedLater("  --help           show this text\n"),
             "\n",
             kTemplateLookup,
             TranslatedLater("Progress lines go to standard output; why an area failed, and what "
                             "is wrong with a\n"
                             "template, to standard error.\n"),
             TranslatedLater("Output redirected to a file or a pipe is UTF-8; a Windows console "
                             "shows it\n"
                             "whatever its code page.\n"),
             TranslatedLater("Exit status: 0 decorated, 1 an area failed (or the shop could not "
                             "be held),\n"
                             "2 usage or set-up error, 3 the template did not pass the check made "
                             "before the\n"
                             "first request (nothing was sent).\n"),
             TranslatedLater("With --login: 0 logged in, 2 not (no display, kesto-design not "
                             "found, or its\n"
                             "login window closed first).\n"),
         }) {
        text += *paragraph == '\n' ? paragraph : Translate(paragraph);
        if (paragraph == kTemplateLookup) {
            // The folders are this system's own, as the search finds them.
            for (const std::string& root : templateRoots) {
                text += "  " + root + "\n";
            }
            // The proxy's place differs between systems: the sentence takes it as a value.
            text += FillIn(Translate("The marketplace is reached through the system proxy, set in\n"
                                     "{}.\n"),
                           {net::ProxySettingPlace()});
        }
    }
    return text;
}

ParsedOptions ParseDecorateOptions(const std::vector<std::string>& arguments) {
    DecorateOptions options;
    std::string error;
    bool areasGiven = false;
    bool parallelGiven = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        const bool takesValue = argument == "--template" || argument == "--areas" ||
                                argument == "--cookies" || argument == "--parallel";
        if (takesValue && i + 1 >= arguments.size()) {
            return {std::nullopt, FillIn(Translate("{} needs a value"), {argument})};
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
        } else if (argument == "--list-templates") {
            options.listTemplates = true;
        } else if (argument == "--login") {
            options.login = true;
        } else if (argument == "--version") {
            options.version = true;
        } else if (argument == "--template") {
            options.templateFolder = arguments[++i];
        } else if (argument == "--cookies") {
            options.cookieFile = arguments[++i];
        } else if (argument == "--parallel") {
            const std::optional<int> parallel = ParseParallelUploads(arguments[++i]);
            if (!parallel) {
                return {std::nullopt, FillIn(Translate("--parallel takes a count from 1 to {}"),
                                             {std::to_string(kMaxParallelUploads)})};
            }
            options.parallelUploads = *parallel;
            parallelGiven = true;
        } else if (argument == "--areas") {
            areasGiven = true;
            if (!ApplyAreas(arguments[++i], options, error)) {
                return {std::nullopt, error};
            }
        } else {
            return {std::nullopt, FillIn(Translate("unknown argument '{}'"), {argument})};
        }
    }
    const bool loginWithOthers =
        options.login && (!options.templateFolder.empty() || areasGiven || parallelGiven ||
                          !options.cookieFile.empty() || options.confirmed || options.check ||
                          options.plan || options.json || options.listTemplates);
    if (loginWithOthers && !options.help && !options.version) {
        return {std::nullopt,
                Translate("--login goes on its own: it logs in, then another command decorates")};
    }
    const bool needsTemplate =
        !options.help && !options.version && !options.listTemplates && !options.login;
    if (needsTemplate && options.templateFolder.empty()) {
        return {std::nullopt, Translate("--template DIR is required")};
    }
    if (options.check && options.plan) {
        return {std::nullopt, Translate("--check and --plan go one at a time")};
    }
    return {options, {}};
}

}  // namespace kesto
