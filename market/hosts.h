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

// The address of a path (with its query) on one of the hosts (or on host:port): "http://" host
// path; without a path, the start of every address on that host.
inline std::string Address(std::string_view host, std::string_view pathAndQuery = {}) {
    std::string address = "http://";
    address.append(host).append(pathAndQuery);
    return address;
}

// The member host's login entry, where the login browser starts and where the transaction
// password is asked for.
inline constexpr char kLoginEntryPath[] = "/cgi-bin/login_entry?LoginLevel=2";

}  // namespace kesto::hosts
