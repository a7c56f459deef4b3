#include "app/login_only.h"

#include <utility>

#include "market/cookie_file_source.h"
#include "market/hosts.h"
#include "market/login_cookies.h"
#include "platform/system.h"
#include "platform/translation.h"
#include "support/fill_in.h"

namespace kesto {

LoginOnly::LoginOnly(DesignServices& services, LoginIdentity& identity, std::string cookieFile)
    : services_(services), identity_(identity), cookieFile_(std::move(cookieFile)) {}

std::optional<LoginOnlyEnd> LoginOnly::Start() {
    if (cookieFile_.empty()) {
        return LoginOnlyEnd{
            kLoginNotCompleted,
            std::string("kesto-design: ") +
                FillIn(Translate("the user's data folder is unknown, so the login would be left "
                                 "nowhere: {}"),
                       {UserDataFolderHint()})};
    }
    services_.OpenLoginBrowser();
    return std::nullopt;
}

std::optional<LoginOnlyEnd> LoginOnly::Poll() {
    // A login that completed just before the window was closed still counts: the browser keeps
    // the cookie text of its last page.
    if (services_.CheckLogin()) {
        return Finish();
    }
    if (!services_.LoginBrowserOpen()) {
        return LoginOnlyEnd{
            kLoginNotCompleted,
            std::string("kesto-design: ") +
                Translate("the login window was closed before the login completed")};
    }
    return std::nullopt;
}

// The browser windows write the cookie file before they report the page whose cookies completed
// the login; a file that could not be written, or one left by an earlier login, is told apart by
// the identity it holds.
LoginOnlyEnd LoginOnly::Finish() const {
    const IdentityTexts login = identity_.Current();
    CookieFileSource file(cookieFile_, hosts::kCookieDomain);
    const std::optional<std::string> text = file.GetCookie();
    if (text && ReadUserNumber(*text) == login.userNumber &&
        GetCookieValue(*text, "skey") == login.sessionKey) {
        return LoginOnlyEnd{kLoginCompleted, {}};
    }
    return LoginOnlyEnd{
        kLoginNotCompleted,
        "kesto-design: " +
            FillIn(Translate("logged in as {}, but the login could not be left in {}"),
                   {login.userNumber, cookieFile_})};
}

}  // namespace kesto
