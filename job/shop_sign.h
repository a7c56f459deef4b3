#pragma once
// Replacing the shop sign: a shop header module is added to a banner that has none, and the
// template's sign picture goes, with the header module's settings, to the manage host's banner
// edit endpoint. The header is added beside the banner's other modules, which are removed only
// once the new sign is in; a failure takes the added header off again, so the banner stays as it
// was.

#include <string>

#include "job/area_result.h"

namespace kesto {

struct ShopSession;
struct TemplateFile;

// picture: the template's shop sign picture as read before the check; one that changed since is
// not sent.
// 1 accepted (and the banner change finished); 0 the login identity is missing, the upload was
// not accepted (or the picture changed) or the banner change could not be finished; -1 the shop
// header module's fsid could not be found (nothing was sent to the banner edit endpoint). Every
// failure says why.
AreaResult UpdateShopSign(ShopSession& session, const TemplateFile& picture);

}  // namespace kesto
