#pragma once
// Which answers send a request on to another address, and where. The request layer and the
// uploader follow redirects through market/redirect_chain.h, never through the net layer, so
// that both platforms take the same hops.

#include <optional>
#include <string>
#include <string_view>

namespace kesto {

// The most redirects one request follows; one more is a failure.
inline constexpr int kMaxRedirects = 5;

enum class RedirectKind {
    kNone,        // an answer to keep
    kAsGet,       // 301, 302, 303: fetch the new address with a GET, without the body
    kSameMethod,  // 307, 308: send the same request, body and all, to the new address
};

RedirectKind RedirectKindOf(int status);

// The absolute address a Location value names, seen from the address that answered: an
// absolute http or https address as it is, "//host/path" with the base's scheme, "/path" on
// the base's host, "?query" on the base's path, anything else beside the base path's last '/'.
// Nothing for an empty value or another scheme.
std::optional<std::string> ResolveLocation(std::string_view base, std::string_view location);

// Whether a chain that started at firstHost may go on to host: the same host, or one of the
// marketplace's hosts. A request's body and the shop's data go nowhere else.
bool MayRedirectTo(std::string_view firstHost, std::string_view host);

// Whether a path (with its query) on host is the member host's login entry, where the
// marketplace sends a request whose login it no longer knows, and where it asks for the
// transaction password: "/cgi-bin/login_entry" whatever its query, in any letter case.
bool IsLoginEntry(std::string_view host, std::string_view pathAndQuery);

}  // namespace kesto
