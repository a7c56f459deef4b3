#include "market/url_split.h"

#include "support/utf16.h"

namespace kesto {

std::optional<net::UrlParts> SplitUrl(std::string_view url) {
    std::optional<net::UrlParts> parts = net::CrackUrl(url);
    if (!parts || parts->host.empty()) {
        return std::nullopt;
    }
    if (Utf16Length(parts->host) > kMaxHostChars || Utf16Length(parts->user) > kMaxUserChars ||
        Utf16Length(parts->password) > kMaxPasswordChars ||
        Utf16Length(parts->path) > kMaxPathChars) {
        return std::nullopt;
    }
    return parts;
}

}  // namespace kesto
