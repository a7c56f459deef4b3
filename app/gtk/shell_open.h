#pragma once
// Opening a file or an address in the user's default program (the desktop's handler for its
// type or scheme), without a shell command line.

#include <string>

namespace kesto::gtk {

// target: an address with a scheme ("http://...") or an absolute file path. False when no
// program could be started for it.
bool OpenWithDefaultProgram(const std::string& target);

}  // namespace kesto::gtk
