#include "market/url_split.h"

#include "support/url_encode.h"
#include "support/utf16.h"

namespace kesto {

std::optional<net::UrlParts> SplitUrl(std::string_view url) {
    // Escaped here, the address reaches every platform's splitter with nothing left to escape,
    // so the request line is the same whichever platform sends it.
    std::optional<net::UrlParts> parts = net::CrackUrl(EscapeUrl(url));
    if (!parts || parts->host.empty()) {
        return std::nullopt;
    }
    if (parts->path.empty() || parts->path.front() != '/') {
        parts->path.insert(0, "/");
    }
    if (Utf16Length(parts->host) > kMaxHostChars || Utf16Length(parts->user) > kMaxUserChars ||
        Utf16Length(parts->password) > kMaxPasswordChars ||
        Utf16Length(parts->path) > kMaxPathChars) {
        return std::nullopt;
    }
    return parts;
}

}  // namespace kesto
