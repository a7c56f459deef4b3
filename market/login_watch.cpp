#include "market/login_watch.h"

#include <algorithm>
#include <chrono>
#include <optional>

#include "market/identity.h"
#include "market/login_cookies.h"
#include "support/ascii_text.h"
#include "support/http_date.h"

namespace kesto {

namespace {

bool IsLoginCookie(std::string_view name) {
    return name == "uin" || name == "ptui_loginuin" || name == "skey";
}

// Whether the cookie's attributes end it now: Max-Age of zero or less, or an Expires date that
// has passed (the cookie store then drops the cookie).
bool EndsCookie(std::string_view attributes) {
    while (!attributes.empty()) {
        const std::size_t end = attributes.find(';');
        const std::string_view attribute = TrimmedAscii(attributes.substr(0, end));
        attributes =
            end == std::string_view::npos ? std::string_view() : attributes.substr(end + 1);
        const std::size_t equals = attribute.find('=');
        if (equals != std::string_view::npos &&
            AsciiLower(TrimmedAscii(attribute.substr(0, equals))) == "max-age") {
            const std::string_view value = TrimmedAscii(attribute.substr(equals + 1));
            if (value.starts_with('-') ||
                (!value.empty() && value.find_first_not_of('0') == std::string_view::npos)) {
                return true;
            }
        }
        if (equals != std::string_view::npos &&
            AsciiLower(TrimmedAscii(attribute.substr(0, equals))) == "expires") {
            const auto expires = ParseHttpDate(attribute.substr(equals + 1));
            if (expires && *expires <= std::chrono::system_clock::now()) {
                return true;
            }
        }
    }
    return false;
}

}  // namespace

void LoginWatch::Start() {
    watching_ = true;
    changed_ = false;
    expired_ = false;
}

bool ChangesLogin(std::string_view setCookie, std::string_view userNumber,
                  std::string_view sessionKey) {
    const std::size_t end = setCookie.find(';');
    const std::string_view pair = TrimmedAscii(setCookie.substr(0, end));
    const std::size_t equals = pair.find('=');
    if (equals == std::string_view::npos) {
        return false;
    }
    const std::string name(TrimmedAscii(pair.substr(0, equals)));
    const std::string_view value = TrimmedAscii(pair.substr(equals + 1));
    if (!IsLoginCookie(name)) {
        return false;
    }
    if (end != std::string_view::npos && EndsCookie(setCookie.substr(end + 1))) {
        return true;
    }
    if (name == "skey") {
        return value != sessionKey;
    }
    return ReadUserNumber(name + "=" + std::string(value)) != userNumber;
}

bool ClearsLogin(std::string_view setCookie) {
    const std::size_t end = setCookie.find(';');
    const std::string_view pair = TrimmedAscii(setCookie.substr(0, end));
    const std::size_t equals = pair.find('=');
    if (equals == std::string_view::npos || !IsLoginCookie(TrimmedAscii(pair.substr(0, equals)))) {
        return false;
    }
    return TrimmedAscii(pair.substr(equals + 1)).empty() ||
           (end != std::string_view::npos && EndsCookie(setCookie.substr(end + 1)));
}

bool LoginWatch::AnswerEndsLogin(const std::vector<std::string>& setCookies,
                                 RequestFailure& failure) {
    if (!watching_ || setCookies.empty()) {
        return false;
    }
    const IdentityTexts identity = ProcessIdentity().Current();
    bool cleared = false;
    for (const std::string& cookie : setCookies) {
        if (ClearsLogin(cookie)) {
            cleared = true;
        } else if (ChangesLogin(cookie, identity.userNumber, identity.sessionKey)) {
            return false;  // another account's login: AnswerKeepsLogin says so
        }
    }
    if (cleared) {
        NoteExpired(failure);
    }
    return cleared;
}

void LoginWatch::NoteExpired(RequestFailure& failure) {
    expired_ = true;
    failure = {LoginExpiredReason(), false, "login-expired"};
}

bool LoginWatch::AnswerKeepsLogin(const std::vector<std::string>& setCookies,
                                  RequestFailure& failure) {
    if (!watching_ || setCookies.empty()) {
        return true;
    }
    const IdentityTexts identity = ProcessIdentity().Current();
    if (std::none_of(setCookies.begin(), setCookies.end(), [&identity](const std::string& cookie) {
            return ChangesLogin(cookie, identity.userNumber, identity.sessionKey);
        })) {
        return true;
    }
    changed_ = true;
    failure = {Translate(kLoginChangedReason), false, "login-changed"};
    return false;
}

bool LoginWatch::LoginUnchanged(RequestFailure& failure) const {
    if (changed_) {
        failure = {Translate(kLoginChangedReason), false, "login-changed"};
        return false;
    }
    if (expired_) {
        failure = {LoginExpiredReason(), false, "login-expired"};
        return false;
    }
    return true;
}

std::string LoginExpiredReason() {
    return Translate(kLoginExpiredReason);
}

}  // namespace kesto
