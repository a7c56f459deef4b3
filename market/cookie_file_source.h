#pragma once
// The command line's login: the marketplace cookies of a Netscape-format cookie file (the
// cookies.txt that browsers export and that the desktop program's login leaves behind), given
// as the cookie text a marketplace page would show.

#include <ctime>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "market/cookie_source.h"
#include "support/bounded_file.h"

namespace kesto {

// The most a cookie file may hold: a browser's whole cookies.txt is rarely above a few hundred
// kilobytes, and the marketplace needs two of its lines.
inline constexpr std::uintmax_t kCookieFileLimitBytes = std::uintmax_t{1} << 20;

// Reads the cookie file at path whole, only when it is a regular file of at most
// kCookieFileLimitBytes (a FIFO given as the cookie file would block the reader for ever).
FileReadResult ReadCookieFile(const std::string& path, std::string& content);

// The cookie text of a cookie file's content: "name=value" of every cookie set for the cookie
// domain or a host below it and not expired at `now` (0 means a session cookie), joined by "; "
// in file order. Comment lines, blank lines and lines without seven tab-separated fields are
// skipped; a "#HttpOnly_" mark before the domain is read as part of a cookie line.
std::string CookieTextFromFile(std::string_view fileContent, std::string_view cookieDomain,
                               std::time_t now);

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
