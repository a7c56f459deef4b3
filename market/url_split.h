#pragma once
// Splitting a full address into the parts a connection and a request need, within the part
// lengths the request layer and the uploader allow.

#include <optional>
#include <string_view>

#include "platform/net_layer.h"

namespace kesto {

// Longest parts, in UTF-16 code units.
inline constexpr std::size_t kMaxHostChars = 255;
inline constexpr std::size_t kMaxUserChars = 259;
inline constexpr std::size_t kMaxPasswordChars = 259;
inline constexpr std::size_t kMaxPathChars = 2047;

// The address's parts, its path and query escaped (EscapeUrl) and starting with '/'; nothing
// when the platform cannot split it or a part is too long.
std::optional<net::UrlParts> SplitUrl(std::string_view url);

}  // namespace kesto
