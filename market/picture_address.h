#pragma once
// The picture addresses an upload answer gives go into the shop's pages as they are (the main
// page's text, the categories' records): only an address that is what it claims may go there.

#include <string_view>

namespace kesto {

// Whether an address from an upload answer may go into a shop page: an http or https address on
// a host of the marketplace's domain, with no quote, angle bracket, backslash, white space or
// control character, none of which an address needs and all of which could end an attribute or
// start markup in the page.
bool IsSafePictureAddress(std::string_view address);

}  // namespace kesto
