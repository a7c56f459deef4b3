#include "market/identity.h"

#include <optional>
#include <utility>

#include "market/login_cookies.h"
#include "market/request_token.h"

namespace kesto {

void LoginIdentity::SetCookieSource(std::shared_ptr<CookieSource> source) {
    const std::lock_guard<std::mutex> guard(lock_);
    source_ = std::move(source);
}

std::shared_ptr<CookieSource> LoginIdentity::Source() const {
    const std::lock_guard<std::mutex> guard(lock_);
    return source_;
}

IdentityTexts LoginIdentity::ReadFromCookies() const {
    const std::shared_ptr<CookieSource> source = Source();
    const std::optional<std::string> cookieText =
        source ? source->GetCookie() : std::optional<std::string>();
    if (!cookieText) {
        return {};
    }
    return {ReadUserNumber(*cookieText), GetCookieValue(*cookieText, "skey")};
}

bool LoginIdentity::CheckLogin() {
    IdentityTexts read = ReadFromCookies();
    if (!read.Complete()) {
        return false;
    }
    {
        const std::lock_guard<std::mutex> guard(lock_);
        texts_ = std::move(read);
    }
    if (const std::shared_ptr<CookieSource> source = Source()) {
        source->CloseLogin();
    }
    return true;
}

bool LoginIdentity::EnsureIdentity() {
    if (Current().Complete()) {
        return true;
    }
    IdentityTexts read = ReadFromCookies();
    if (!read.Complete()) {
        return false;
    }
    const std::lock_guard<std::mutex> guard(lock_);
    // A login check on the dialog's thread may have completed meanwhile; its pair stands.
    if (!texts_.Complete()) {
        texts_ = std::move(read);
    }
    return true;
}

IdentityTexts LoginIdentity::Current() const {
    const std::lock_guard<std::mutex> guard(lock_);
    return texts_;
}

LoginIdentity& ProcessIdentity() {
    static LoginIdentity identity;
    return identity;
}

bool CheckLogin() {
    return ProcessIdentity().CheckLogin();
}

bool EnsureIdentity() {
    return ProcessIdentity().EnsureIdentity();
}

std::string GetRequestToken() {
    EnsureIdentity();
    return GetRequestToken(ProcessIdentity().Current().sessionKey);
}

}  // namespace kesto
