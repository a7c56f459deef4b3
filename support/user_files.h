#pragma once
// Files the program keeps for the user between runs.

#include <string>

#include "platform/system.h"

namespace kesto {

// The program's own folder in the user's data folder, <user data folder>/kesto-decor/, ending
// with the path separator. Empty when the data folder is unknown.
inline std::string ProgramDataFolder() {
    const std::string folder = UserDataFolder();
    if (folder.empty()) {
        return {};
    }
    const char separator = folder.back();
    return folder + "kesto-decor" + separator;
}

// The cookie file the desktop program's login leaves behind and the command line reads by
// default: <user data folder>/kesto-decor/cookies.txt. Empty when the data folder is unknown.
inline std::string DesktopCookieFile() {
    const std::string folder = ProgramDataFolder();
    return folder.empty() ? std::string() : folder + "cookies.txt";
}

}  // namespace kesto
