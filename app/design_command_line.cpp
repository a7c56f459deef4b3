#include "app/design_command_line.h"

#include <algorithm>

#include "platform/net_layer.h"
#include "platform/translation.h"
#include "support/fill_in.h"
#include "support/user_files.h"

namespace kesto {

DesignStart DesignStartFor(const std::vector<std::string>& arguments) {
    const auto given = [&arguments](const char* option) {
        return std::find(arguments.begin(), arguments.end(), option) != arguments.end();
    };
    if (given("--help") || given("-h")) {
        return DesignStart::kPrintHelp;
    }
    if (given("--version")) {
        return DesignStart::kPrintVersion;
    }
    if (given("--login")) {
        return DesignStart::kLogin;
    }
    return DesignStart::kRun;
}

std::string DesignHelpText(const std::vector<std::string>& templateRoots) {
    // Each paragraph and option is translated on its own, as in kesto-decorate's help, whose
    // sentences about the template folders and the proxy this text shares.
    // TRANSLATORS: the label before the forms; six columns wide, as the forms below are indented.
    std::string text =
        std::string(Translate("usage:")) + " kesto-design [--login | --version | --help]\n\n";
    for (const char* paragraph : {
             TranslatedLater(
                 "Decorates a shop on the Kesto marketplace from a template: pick a template, log "
                 "in\n"
                 "in the program's browser, tick the areas and press Upload.\n"),
             "\n",
             TranslatedLater(
                 "  --login    open only the login window; once the login is complete, leave its\n"
                 "             cookies for kesto-decorate, close the window and exit 0 (1 when "
                 "the\n"
                 "             window was closed first)\n"),
             TranslatedLater("  --version  print the program's version\n"),
             TranslatedLater("  --help     show this text\n"),
             "\n",
         }) {
        text += *paragraph == '\n' ? paragraph : Translate(paragraph);
    }
    text += Translate(
        "Templates are looked up, by name, in these folders, in this order; the first template\n"
        "of a name hides later ones:\n");
    for (const std::string& root : templateRoots) {
        text += "  " + root + "\n";
    }
    text += FillIn(Translate("The marketplace is reached through the system proxy, set in\n"
                             "{}.\n"),
                   {net::ProxySettingPlace()});
    const std::string cookieFile = DesktopCookieFile();
    if (!cookieFile.empty()) {
        text += FillIn(Translate("The login's cookies are left for kesto-decorate in\n"
                                 "  {}\n"),
                       {cookieFile});
    }
    return text;
}

}  // namespace kesto
