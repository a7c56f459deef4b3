#pragma once
// The main page update: the template's "main" pictures go into the album folder of the main
// page, their names in the page text become their album addresses, the shop markers are filled
// in, and the text is saved as the content of a new custom-content module.
//
// The live shop keeps its main page (its custom-content module, its text and the pictures it
// shows) until the new one is complete: the old pictures stay while the new ones are uploaded,
// the new module is added beside the old one, and the old module and pictures are removed only
// after the new text has been saved. A failure after the new module was added takes it off
// again.

#include <string>

#include "job/area_result.h"

namespace kesto {

struct MainFolder;
struct ShopSession;

// mainFolder: the template's "main" folder as read before the check: its page text as read
// then is saved, and a picture that changed since is not sent.
// 1 saved; 0 nothing to do or nothing saved (folder missing, no page text, the layout or the
// text refused); -1 the page text could not be read, an album step or a picture upload failed
// (or a picture changed), a request got no answer or the new module could not be found. Every
// failure says why.
AreaResult UpdateMainPage(const MainFolder& mainFolder, ShopSession& session);

// Saves the finished page text (UTF-8) as the content of the custom-content module with that
// fsid. 1 saved; 0 refused (a non-zero error code, the transaction-password page or an empty
// answer); -1 no answer or an error status. Sets failure when it fails.
int SaveCustomContent(const std::string& text, const std::string& fsid, ShopSession& session,
                      std::string& failure);

}  // namespace kesto
