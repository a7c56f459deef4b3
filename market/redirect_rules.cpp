#include "market/redirect_rules.h"

#include <array>

#include "market/hosts.h"
#include "support/ascii_text.h"

namespace kesto {

namespace {

constexpr std::string_view kSchemeEnd = "://";

// "scheme://authority" of an absolute address; empty when it has none.
std::string_view OriginOf(std::string_view url) {
    const std::size_t schemeEnd = url.find(kSchemeEnd);
    if (schemeEnd == std::string_view::npos) {
        return {};
    }
    const std::size_t authorityStart = schemeEnd + kSchemeEnd.size();
    return url.substr(0, url.find_first_of("/?#", authorityStart));
}

bool HasScheme(std::string_view location) {
    const std::size_t colon = location.find(':');
    return colon != std::string_view::npos && colon > 0 && location.find_first_of("/?#") > colon;
}

}  // namespace

RedirectKind RedirectKindOf(int status) {
    switch (status) {
        case 301:
        case 302:
        case 303:
            return RedirectKind::kAsGet;
        case 307:
        case 308:
            return RedirectKind::kSameMethod;
        default:
            return RedirectKind::kNone;
    }
}

std::optional<std::string> ResolveLocation(std::string_view base, std::string_view location) {
    location = TrimmedAscii(location);
    if (location.empty()) {
        return std::nullopt;
    }
    if (HasScheme(location)) {
        if (StartsWithIgnoringAsciiCase(location, "http://") ||
            StartsWithIgnoringAsciiCase(location, "https://")) {
            return std::string(location);
        }
        return std::nullopt;
    }
    const std::string_view origin = OriginOf(base);
    if (origin.empty()) {
        return std::nullopt;
    }
    if (location.starts_with("//")) {
        return std::string(base.substr(0, base.find(kSchemeEnd) + 1)) + std::string(location);
    }
    if (location.front() == '/') {
        return std::string(origin) + std::string(location);
    }
    std::string_view path = base.substr(origin.size());
    path = path.substr(0, path.find_first_of("?#"));
    if (location.front() == '?') {
        return std::string(origin) + std::string(path.empty() ? "/" : path) + std::string(location);
    }
    const std::size_t lastSlash = path.rfind('/');
    const std::string_view folder =
        lastSlash == std::string_view::npos ? "/" : path.substr(0, lastSlash + 1);
    return std::string(origin) + std::string(folder) + std::string(location);
}

bool MayRedirectTo(std::string_view firstHost, std::string_view host) {
    static constexpr std::array kMarketHosts = {hosts::kPortal, hosts::kMember, hosts::kManage,
                                                hosts::kShop, hosts::kAlbum};
    if (EqualIgnoringAsciiCase(firstHost, host)) {
        return true;
    }
    for (const char* market : kMarketHosts) {
        if (EqualIgnoringAsciiCase(host, market)) {
            return true;
        }
    }
    return false;
}

bool IsLoginEntry(std::string_view host, std::string_view pathAndQuery) {
    return EqualIgnoringAsciiCase(host, hosts::kMember) &&
           EqualIgnoringAsciiCase(pathAndQuery.substr(0, pathAndQuery.find('?')),
                                  "/cgi-bin/login_entry");
}

}  // namespace kesto
