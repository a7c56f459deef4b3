#pragma once
// The version of the kesto-decor programs. It is set in one place, the project's VERSION in the
// top CMakeLists.txt, which the build writes into program_version.cpp; the Debian package and
// the man pages take the same value.

#include <string>
#include <string_view>

namespace kesto {

// "MAJOR.MINOR.PATCH".
std::string_view ProgramVersion();

// What --version prints: "PROGRAM VERSION" and a line end.
std::string VersionLine(std::string_view program);

}  // namespace kesto
