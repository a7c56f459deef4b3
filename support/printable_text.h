#pragma once
// Text from the file system (file and template names) shown to a person: a name may hold
// control characters that a terminal would act on (ESC starts a colour or cursor command, a
// line break would split one listed name into two) and bytes that are no UTF-8 at all.

#include <string>
#include <string_view>

namespace kesto {

// The text with every control character and every byte that is no part of a UTF-8 character
// written as an escape: "\n", "\r" and "\t"; "\xNN" for the other C0 characters, DEL and stray
// bytes; "\u0080" to "\u009f" for the C1 characters. Everything else stays as it is.
std::string PrintableText(std::string_view text);

}  // namespace kesto
