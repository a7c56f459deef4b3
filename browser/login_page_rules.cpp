#include "browser/login_page_rules.h"

#include "market/hosts.h"
#include "support/ascii_text.h"

namespace kesto {

namespace {

// The white space a page's text may begin or end with, as UTF-8.
constexpr std::string_view kWhiteSpace[] = {
    " ",
    "\t",
    "\n",
    "\r",
    "\f",
    "\v",
    "\xC2\xA0",      // no-break space
    "\xE3\x80\x80",  // ideographic space
};

std::size_t LeadingSpaceLength(std::string_view text) {
    for (const std::string_view space : kWhiteSpace) {
        if (text.starts_with(space)) {
            return space.size();
        }
    }
    return 0;
}

std::size_t TrailingSpaceLength(std::string_view text) {
    for (const std::string_view space : kWhiteSpace) {
        if (text.ends_with(space)) {
            return space.size();
        }
    }
    return 0;
}

// The UTF-8 text without the white space at its ends: ASCII white space, the no-break space and
// the ideographic space.
std::string_view TrimWhiteSpace(std::string_view text) {
    while (const std::size_t length = LeadingSpaceLength(text)) {
        text.remove_prefix(length);
    }
    while (const std::size_t length = TrailingSpaceLength(text)) {
        text.remove_suffix(length);
    }
    return text;
}

}  // namespace

LoginPage ClassifyLoginPage(std::string_view url) {
    const std::string lower = AsciiLower(url);
    const std::string entry = AsciiLower(hosts::Address(hosts::kMember, hosts::kLoginEntryPath));
    if (lower.starts_with(entry)) {
        return LoginPage::Entry;
    }
    if (lower == hosts::Address(hosts::kPortal, "/")) {
        return LoginPage::PortalFront;
    }
    return LoginPage::Other;
}

std::optional<std::size_t> FindLoginAnchor(const std::vector<std::string>& anchorTexts) {
    const std::string wanted = AsciiLower(kLoginLinkText);
    for (std::size_t i = 0; i < anchorTexts.size(); ++i) {
        if (AsciiLower(TrimWhiteSpace(anchorTexts[i])) == wanted) {
            return i;
        }
    }
    return std::nullopt;
}

}  // namespace kesto
