#pragma once
// How the login browser recognises the marketplace's login pages, and which link of the portal's
// front page leads to the login.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kesto {

enum class LoginPage {
    Entry,        // the member host's login entry page: its cookie text is not a login
    PortalFront,  // the portal's front page: its login link is clicked
    Other,
};

// The text of the portal's login link.
inline constexpr char kLoginLinkText[] = "登录";

// Classifies a document address, whatever the case of its ASCII letters.
LoginPage ClassifyLoginPage(std::string_view url);

// The index of the first anchor whose text, without the white space around it, is the login
// link's (ASCII letters compared without case); nothing when no anchor reads so. Engines keep
// the white space of the page's markup around a link's text in varying amounts.
std::optional<std::size_t> FindLoginAnchor(const std::vector<std::string>& anchorTexts);

}  // namespace kesto
