#pragma once
// kesto-design's own command line: --version and --help, answered before any window opens (so
// they work without a display), and --login, the login window alone (app/login_only.h). Every
// other argument is left to the toolkit, which takes its own options (GTK's --display, for
// example).

#include <string>
#include <vector>

namespace kesto {

enum class DesignStart {
    kRun,           // open the window
    kPrintVersion,  // print VersionLine("kesto-design") and end
    kPrintHelp,     // print DesignHelpText() and end
    kLogin,         // open the login window alone and end once the login is complete
};

// What the arguments (after the program name) ask for; --help wins over --version, and either
// over --login.
DesignStart DesignStartFor(const std::vector<std::string>& arguments);

// The text --help prints, in the user's language: the options, the folders templates are looked
// up in (templateRoots, in their order), where the proxy is set and where the login is left.
std::string DesignHelpText(const std::vector<std::string>& templateRoots);

}  // namespace kesto
