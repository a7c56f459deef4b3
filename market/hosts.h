#pragma once
// The marketplace's five hosts, fixed: the program reaches them through the system's proxy
// settings, so there is no setting of its own to change them.

#include <string>
#include <string_view>

namespace kesto::hosts {

inline constexpr char kPortal[] = "www.kesto.example";     // main site, where the login starts
inline constexpr char kMember[] = "member.kesto.example";  // login pages
inline constexpr char kManage[] = "manage.kesto.example";  // shop management under /cgi-bin/
inline constexpr char kShop[] = "shop.kesto.example";      // public shop fronts
inline constexpr char kAlbum[] = "album.kesto.example";    // photo album and uploads, /album/
// The domain the login cookies are set for, so that they reach all five hosts.
inline constexpr char kCookieDomain[] = ".kesto.example";

// "http://" and the host (with its port, if it has one), without a closing "/": the start of
// every address on that host.
inline std::string HostAddress(std::string_view host) {
    return "http://" + std::string(host);
}

}  // namespace kesto::hosts
