#pragma once
// The request token ("g_tk") that the manage host's endpoints expect in their query: a hash of
// the login's session key.

#include <string>
#include <string_view>

namespace kesto {

// The token for the session key (UTF-8): h = 5381, then h = h * 33 + c for each UTF-16 code unit
// c, kept to 32 bits; the result is h with its top bit cleared, in decimal. An empty key gives
// the empty text. "abc" gives "193485963".
std::string GetRequestToken(std::string_view sessionKey);

}  // namespace kesto
