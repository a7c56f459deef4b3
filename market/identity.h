#pragma once
// The logged-in identity every marketplace request of a decoration job needs: the user number
// (also the shop's identity) and the session key. One process-wide pair, filled from the login's
// cookie text by the dialog's login check or, on a job's thread, when a job finds it missing.
//
// The pair is always replaced as a whole and read as a whole, under a lock: a job never sees the
// user number of one account with the session key of another, and a later login with another
// account replaces the identity once its cookies are complete. The desktop dialog never lets a
// login run beside a job (app/design_dialog.h), so a job's identity, like the cookies its requests
// carry, is one account's from its first request to its last.

#include <memory>
#include <mutex>
#include <string>

#include "market/cookie_source.h"

namespace kesto {

struct IdentityTexts {
    std::string userNumber;
    std::string sessionKey;

    bool Complete() const { return !userNumber.empty() && !sessionKey.empty(); }
};

class LoginIdentity {
  public:
    LoginIdentity() = default;
    LoginIdentity(const LoginIdentity&) = delete;
    LoginIdentity& operator=(const LoginIdentity&) = delete;

    // Where the cookie text comes from; null until the program has a login to read from.
    void SetCookieSource(std::shared_ptr<CookieSource> source);

    // The login timer's question: reads the cookie text; when it holds both a user number and a
    // session key, takes them as the identity, closes the login and answers true. Otherwise the
    // identity is left as it was and the answer is false.
    bool CheckLogin();

    // A job's question before it starts: while the identity is incomplete, reads it from the
    // cookie text (never closing the login). True when the identity is complete.
    bool EnsureIdentity();

    // Both texts at once, as one consistent pair.
    IdentityTexts Current() const;

  private:
    std::shared_ptr<CookieSource> Source() const;
    // Reads the pair from the source's cookie text; empty texts when there is none.
    IdentityTexts ReadFromCookies() const;

    mutable std::mutex lock_;
    IdentityTexts texts_;
    std::shared_ptr<CookieSource> source_;
};

// The process-wide identity, empty at start.
LoginIdentity& ProcessIdentity();

// The process-wide identity's operations, as the dialog and the job call them.
bool CheckLogin();
bool EnsureIdentity();

// The request token of the process-wide session key, after EnsureIdentity; empty when there is
// no session key. Computed afresh at every call.
std::string GetRequestToken();

}  // namespace kesto
