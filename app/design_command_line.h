#pragma once
// kesto-design's own command line: --version and --help, answered before any window opens (so
// they work without a display). Every other argument is left to the toolkit, which takes its
// own options (GTK's --display, for example).

#include <string>
#include <vector>

namespace kesto {

enum class DesignStart {
    kRun,           // open the window
    kPrintVersion,  // print VersionLine("kesto-design") and end
    kPrintHelp,     // print DesignHelpText() and end
};

// What the arguments (after the program name) ask for; --help wins over --version.
DesignStart DesignStartFor(const std::vector<std::string>& arguments);

// The text --help prints.
std::string DesignHelpText();

}  // namespace kesto
