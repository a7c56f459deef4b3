#pragma once
// kesto-design --login: the login window alone, for the command line. It opens the login browser
// the Login button opens, asks the same login check at each poll, and once the login is complete
// makes sure that the cookie file kesto-decorate reads holds that login: user number and session
// key. The user closing the window before the login completed ends it without a login.
//
// A front end calls Start, then Poll from a timer of its main loop every
// kLoginOnlyPollMilliseconds until Poll answers; it then leaves its main loop, writes the
// answer's message (when there is one) to standard error and exits with the answer's code.

#include <optional>
#include <string>

#include "app/design_services.h"
#include "market/identity.h"

namespace kesto {

// The login check is cheap (the cookie text the browser captured), and a closed window should
// end the program promptly.
inline constexpr unsigned kLoginOnlyPollMilliseconds = 250;

// kesto-design --login's exit status.
inline constexpr int kLoginCompleted = 0;
inline constexpr int kLoginNotCompleted = 1;

struct LoginOnlyEnd {
    int exitCode = kLoginNotCompleted;
    std::string message;  // one line for standard error; empty when the login completed
};

class LoginOnly {
  public:
    // cookieFile: where the login's cookies are left (DesktopCookieFile()); the platform's
    // browser windows write it after each page. identity is the one the services' login check
    // fills.
    LoginOnly(DesignServices& services, LoginIdentity& identity, std::string cookieFile);

    // Opens the login window on the portal page; an end at once when there is nowhere to leave
    // the cookies.
    [[nodiscard]] std::optional<LoginOnlyEnd> Start();
    // Nothing while the login is under way; the end once it has completed (the login check has
    // closed the window) or the window was closed without it.
    [[nodiscard]] std::optional<LoginOnlyEnd> Poll();

  private:
    // The end of a completed login: whether the cookie file holds it.
    LoginOnlyEnd Finish() const;

    DesignServices& services_;
    LoginIdentity& identity_;
    std::string cookieFile_;
};

}  // namespace kesto
