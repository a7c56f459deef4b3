#include "browser/login_page_rules.h"

#include "market/hosts.h"
#include "support/ascii_text.h"

namespace kesto {

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
        if (AsciiLower(anchorTexts[i]) == wanted) {
            return i;
        }
    }
    return std::nullopt;
}

}  // namespace kesto
