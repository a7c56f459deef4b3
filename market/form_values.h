#pragma once
// Percent-encoding the values of a form body made of name=value pairs joined by '&'.

#include <string>
#include <string_view>

namespace kesto {

// Encodes each value with UrlEncode and leaves names, '=' and '&' as they are. Runs of '&' count
// as one separator; a token without '=' ends the encoding there, after the '&' that precedes it:
// "a=1 2&&b=x/y" gives "a=1+2&b=x%2Fy", "a=1&flag&b=2" gives "a=1&".
std::string EncodeFormValues(std::string_view text);

}  // namespace kesto
