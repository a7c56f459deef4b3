#pragma once
// The conversions that decide which bytes go on the wire and to disk: the marketplace's code page
// for request bodies, multipart texts and the answers; the system's ANSI code page for trace lines
// and page texts without byte-order mark; size-limited UTF-8 for category and album folder names.

#include <string>
#include <string_view>

#include "platform/code_page.h"

namespace kesto {

// UTF-8 text to the calling thread's ANSI code page.
std::string ToAnsi(std::string_view text);

// Exactly count bytes of the ANSI code page to UTF-8 text; a count below 1 gives an empty text.
std::string FromAnsi(const char* bytes, int count);
// A zero-terminated byte string of the ANSI code page to UTF-8 text; null gives an empty text.
std::string FromAnsi(const char* zeroTerminated);

// UTF-8 text to the code page the marketplace's texts travel in (on Windows GBK, whatever the
// system's own code page is; see CodePage::Marketplace); characters it lacks become '?'.
std::string ToMarketplace(std::string_view text);
// Exactly count bytes of the marketplace's code page to UTF-8 text; a count below 1 gives an
// empty text.
std::string FromMarketplace(const char* bytes, int count);
// Whether the code page has every character of the text, so that it arrives as it is and not
// with '?' in their place.
bool CodePageCarries(std::string_view text, CodePage page);
// The same for the marketplace's code page.
bool MarketplaceCarries(std::string_view text);

// The text as UTF-8 of at most 1,023 bytes, ending at its first zero character. A longer text is
// cut at the last character boundary that fits.
std::string ToUtf8Limited(std::string_view text);

}  // namespace kesto
