#include "app/design_command_line.h"

#include <algorithm>

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

std::string DesignHelpText() {
    return "usage: kesto-design [--login | --version | --help]\n"
           "\n"
           "Decorates a shop on the Kesto marketplace from a template: pick a template, log in\n"
           "in the program's browser, tick the areas and press Upload.\n"
           "\n"
           "  --login    open only the login window; once the login is complete, leave its\n"
           "             cookies for kesto-decorate, close the window and exit 0 (1 when the\n"
           "             window was closed first)\n"
           "  --version  print the program's version\n"
           "  --help     show this text\n"
           "\n"
           "Templates are listed from the folder \"template\" beside the program, then from\n"
           "$XDG_DATA_HOME/kesto-decor/templates (default ~/.local/share), then from\n"
           "kesto-decor/templates under each of $XDG_DATA_DIRS (default /usr/local/share and\n"
           "/usr/share); the first template of a name hides later ones.\n"
           "The marketplace is reached through the system proxy (http_proxy). The login's\n"
           "cookies are left in $XDG_DATA_HOME/kesto-decor/cookies.txt for kesto-decorate.\n";
}

}  // namespace kesto
