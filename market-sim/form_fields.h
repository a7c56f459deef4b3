#pragma once
// Decoding of form-encoded text ("a=1&b=x%2Fy"), strictly: a malformed escape is an error, not
// a guess, because the server must tell a broken request from a good one.

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kesto::sim {

using FormField = std::pair<std::string, std::string>;  // name, decoded value

// "%XX" becomes the byte, "+" a blank; a "%" without two hex digits gives no value.
std::optional<std::string> PercentDecode(std::string_view text);

// The pairs in their order. A piece without "=" or with a malformed escape gives no value.
std::optional<std::vector<FormField>> ParseFormFields(std::string_view text);

// The fields' names in order, for comparing with the list a request must carry.
std::vector<std::string> FieldNames(const std::vector<FormField>& fields);

// The value of the first field of that name, or no value.
std::optional<std::string> FindField(const std::vector<FormField>& fields, std::string_view name);

}  // namespace kesto::sim
