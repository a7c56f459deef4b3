#pragma once
// The command line's login: the marketplace cookies of a Netscape-format cookie file (the
// cookies.txt that browsers export and that the desktop program's login leaves behind), given
// as the cookie text a marketplace page would show.

#include <optional>
#include <string>

#include "market/cookie_source.h"
#include "market/login_cookie_file.h"

namespace kesto {

class CookieFileSource final : public CookieSource {
  public:
    // The file is read afresh at every request, so a login that rewrites it is seen at once.
    CookieFileSource(std::string path, std::string cookieDomain);

    // Nothing when the file cannot be read (see ReadCookieFile) or holds no marketplace cookie.
    std::optional<std::string> GetCookie() override;

  private:
    std::string path_;
    std::string cookieDomain_;
};

}  // namespace kesto
