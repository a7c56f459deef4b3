#pragma once
// Messages with values in them, for text that is translated whole: each "{}" of the pattern
// takes the next value, in order, so a translation may move the values within its sentence.

#include <initializer_list>
#include <string>
#include <string_view>

namespace kesto {

// The pattern with its "{}" replaced by the values in order; a "{}" without a value stays, a
// value without a "{}" is left out.
std::string FillIn(std::string_view pattern, std::initializer_list<std::string_view> values);

}  // namespace kesto
