#pragma once
// The rules that judge a server's answer to one upload request.

#include <string>
#include <string_view>

namespace kesto {

// The decimal integer right after "result=" (leading white space skipped, an optional sign);
// 0 when "result=" is absent or no digits follow. Values beyond 32 bits are clamped.
int ResultCodeRule(std::string_view answer);

// 1 when the answer has no "errcode", or when the first run of digits from "errcode" on is 0 and
// does not end the answer; 0 otherwise.
int ErrcodeRule(std::string_view answer);

// Finds "returnurl" (any letter case), then "http://" at or after it, then "]" after that: on
// success returnUrl becomes the text from "http://" up to the "]" in the answer's own letter case
// and the result is 1; otherwise -1 and returnUrl is left alone.
int ReturnUrlRule(std::string_view answer, std::string& returnUrl);

}  // namespace kesto
