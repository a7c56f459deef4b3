#pragma once
// The web browser's link colours as the current user set them.

#include "app/link_style.h"

namespace kesto::win32 {

// Reads "Anchor Color" and "Anchor Color Visited" from the current user's browser settings;
// a colour whose key or value is missing or malformed keeps the value passed in.
void ReadBrowserLinkColours(LinkColour& link, LinkColour& visited);

}  // namespace kesto::win32
