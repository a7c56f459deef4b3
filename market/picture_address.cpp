#include "market/picture_address.h"

#include <algorithm>

#include "market/hosts.h"
#include "support/ascii_text.h"

namespace kesto {

namespace {

bool IsUnsafeCharacter(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte <= 0x20 || byte == 0x7F ||
           std::string_view("\"'<>\\`").find(c) != std::string_view::npos;
}

bool IsHostCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' || c == '-';
}

// Whether host[:port] names a host of the marketplace's domain.
bool IsMarketplaceHost(std::string_view hostAndPort) {
    const std::size_t colon = hostAndPort.find(':');
    const std::string host = AsciiLower(hostAndPort.substr(0, colon));
    if (colon != std::string_view::npos) {
        const std::string_view port = hostAndPort.substr(colon + 1);
        if (port.empty() || port.size() > 5 ||
            !std::all_of(port.begin(), port.end(), IsAsciiDigit)) {
            return false;
        }
    }
    const std::string_view domain = std::string_view(hosts::kCookieDomain).substr(1);
    return std::all_of(host.begin(), host.end(), IsHostCharacter) &&
           (host == domain || host.ends_with(hosts::kCookieDomain));
}

}  // namespace

bool IsSafePictureAddress(std::string_view address) {
    if (std::any_of(address.begin(), address.end(), IsUnsafeCharacter)) {
        return false;
    }
    const std::string lower = AsciiLower(address.substr(0, 8));
    std::size_t start = 0;
    if (lower.starts_with("http://")) {
        start = 7;
    } else if (lower.starts_with("https://")) {
        start = 8;
    } else {
        return false;
    }
    const std::string_view rest = address.substr(start);
    return IsMarketplaceHost(rest.substr(0, rest.find_first_of("/?#")));
}

}  // namespace kesto
