#pragma once
// One account per job. The requests of a job carry the login's cookies from the process's one
// cookie store, which takes whatever cookies an answer sets: an answer that set another account's
// user number or session key would have the rest of the job decorate that account's shop. While a
// LoginWatch lives on a thread, an answer that sets or clears the login's cookies ("uin",
// "ptui_loginuin", "skey") to anything but the process identity's own fails its request, and no
// later request of the thread starts. Like the time bound, the watch is per thread.

#include <string>
#include <string_view>
#include <vector>

namespace kesto {

// The reason a request fails with once an answer changed the login.
inline constexpr char kLoginChangedReason[] =
    "the marketplace changed the login during the run: nothing more was sent; log in again "
    "and check which shop the marketplace shows";

// Watches the calling thread's answers from its making on, for its life.
class LoginWatch {
  public:
    LoginWatch();
    // The thread's earlier watch, if any, holds again.
    ~LoginWatch();
    LoginWatch(const LoginWatch&) = delete;
    LoginWatch& operator=(const LoginWatch&) = delete;

  private:
    bool previousWatching_;
    bool previousChanged_;
};

// Whether one Set-Cookie value sets or clears a login cookie to other than the identity's user
// number or session key.
bool ChangesLogin(std::string_view setCookie, std::string_view userNumber,
                  std::string_view sessionKey);

// After an answer: false when a watched thread's answer changed the login (the failure is then
// noted and every later request of the thread refused).
bool AnswerKeepsLogin(const std::vector<std::string>& setCookies);

// Before a request: false, with the failure noted, once an answer changed the thread's login.
bool LoginUnchanged();

}  // namespace kesto
