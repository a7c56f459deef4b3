#pragma once
// The main page update: the template's "main" pictures go into the album folder of the main
// page, their names in the page text become their album addresses, the shop markers are filled
// in, and the text is saved as the content of the shop's custom-content module.

#include <string>

namespace kesto {

struct ShopSession;

// 1 saved; 0 nothing to do or nothing saved (folder missing, no page text, empty answer);
// -1 a picture upload failed, the page text could not be read or the module's fsid is unknown.
int UpdateMainPage(const std::string& mainFolder, ShopSession& session);

// Saves the finished page text (UTF-8) as the custom-content module's content. 1 answered,
// 0 empty answer, -1 the module's fsid is unknown.
int SaveCustomContent(const std::string& text, ShopSession& session);

}  // namespace kesto
