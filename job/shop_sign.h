#pragma once
// Replacing the shop sign: the template's sign picture goes, with the shop header module's
// settings, to the manage host's banner edit endpoint.

#include <string>

namespace kesto {

struct ShopSession;

// 1 accepted; 0 the login identity is missing or the upload was not accepted; -1 the shop
// header module's fsid could not be found (nothing was sent).
int UpdateShopSign(ShopSession& session, const std::string& picturePath);

}  // namespace kesto
