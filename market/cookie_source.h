#pragma once
// Where the login's cookie text comes from: the login browser in the desktop program, a cookie
// file in the command-line program.

#include <optional>
#include <string>

namespace kesto {

class CookieSource {
  public:
    virtual ~CookieSource() = default;

    // A copy of the cookie text the login left behind ("name=value; name=value"); nothing when
    // there is none (no page completed yet, or the login form is showing).
    virtual std::optional<std::string> GetCookie() = 0;

    // Called once the login is complete: the login browser closes its window. Sources without a
    // window do nothing.
    virtual void CloseLogin() {}
};

}  // namespace kesto
