#pragma once
// One account per job. The requests of a job carry the login's cookies from the process's one
// cookie store, which takes whatever cookies an answer sets: an answer that set another account's
// user number or session key would have the rest of the job decorate that account's shop. Once a
// job's LoginWatch (in its context, market/job_context.h) is started, an answer that sets or
// clears the login's cookies ("uin", "ptui_loginuin", "skey") to anything but the process
// identity's own fails its request, and no later request of the job starts.
//
// The marketplace may also end the login while a job runs: it then sends the request on to its
// login entry page, or clears the login's cookies. Either ends the request with the expired-login
// reason, no later request of the job starts, and the job starts no later area.

#include <string>
#include <string_view>
#include <vector>

#include "market/failure_reason.h"
#include "platform/translation.h"

namespace kesto {

// The reason a request fails with once an answer changed the login (in English; it goes through
// Translate).
inline constexpr const char* kLoginChangedReason = TranslatedLater(
    "the marketplace changed the login during the run: nothing more was sent; log in again "
    "and check which shop the marketplace shows");

// The reason a step fails with when the program holds no marketplace login (in English; it goes
// through Translate).
inline constexpr const char* kLoginMissingReason =
    TranslatedLater("the marketplace login is missing or has expired: log in again");

// The reason a request and its area fail with once the marketplace ended the login, in English;
// LoginExpiredReason gives it in the user's language.
inline constexpr const char* kLoginExpiredReason =
    TranslatedLater("the login has expired: log in again, then upload again.");

// kLoginExpiredReason in the user's language.
std::string LoginExpiredReason();

class LoginWatch {
  public:
    // Watches nothing until started.
    LoginWatch() = default;
    // Watches the answers from now on.
    void Start();

    // After an answer: false when a watched answer changed the login (failure then says so, and
    // every later request is refused).
    bool AnswerKeepsLogin(const std::vector<std::string>& setCookies, RequestFailure& failure);

    // After an answer, before AnswerKeepsLogin: true when a watched answer cleared the login's
    // cookies and set none to another value (failure then says the login expired, and every
    // later request is refused).
    bool AnswerEndsLogin(const std::vector<std::string>& setCookies, RequestFailure& failure);

    // Records that the marketplace answered with its login page, watched or not: failure says the
    // login expired, and every later request made with this watch is refused.
    void NoteExpired(RequestFailure& failure);

    // Before a request: false, with failure set, once an answer changed or ended the login.
    bool LoginUnchanged(RequestFailure& failure) const;

    // Whether the marketplace ended the login.
    bool LoginExpired() const { return expired_; }
    // Whether LoginUnchanged refuses every later request.
    bool RequestsRefused() const { return changed_ || expired_; }

    // Takes over what a copy of this watch (one of requests sent beside others) met.
    void FoldIn(const LoginWatch& beside) {
        changed_ = changed_ || beside.changed_;
        expired_ = expired_ || beside.expired_;
    }

  private:
    bool watching_ = false;
    bool changed_ = false;
    bool expired_ = false;
};

// Whether one Set-Cookie value sets or clears a login cookie to other than the identity's user
// number or session key.
bool ChangesLogin(std::string_view setCookie, std::string_view userNumber,
                  std::string_view sessionKey);

// Whether one Set-Cookie value clears a login cookie: an empty value, a Max-Age of zero or less,
// or an Expires date that has passed.
bool ClearsLogin(std::string_view setCookie);

}  // namespace kesto
