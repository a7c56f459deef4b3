#include "browser/login_page_rules.h"

#include <algorithm>

#include "market/hosts.h"

namespace kesto {

namespace {

char AsciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string AsciiLower(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(), [](char c) { return AsciiLower(c); });
    return lower;
}

}  // namespace

LoginPage ClassifyLoginPage(std::string_view url) {
    const std::string lower = AsciiLower(url);
    const std::string entry =
        std::string("http://") + hosts::kMember + "/cgi-bin/login_entry?loginlevel=2";
    if (lower.starts_with(entry)) {
        return LoginPage::Entry;
    }
    if (lower == std::string("http://") + hosts::kPortal + "/") {
        return LoginPage::PortalFront;
    }
    return LoginPage::Other;
}

std::optional<std::size_t> FindLoginAnchor(const std::vector<std::string>& anchorTexts) {
    const std::string wanted = AsciiLower(kLoginLinkText);
    for (std::size_t i = 0; i < anchorTexts.size(); ++i) {
        if (AsciiLower(anchorTexts[i]) == wanted) {
            return i;
        }
    }
    return std::nullopt;
}

}  // namespace kesto
