#pragma once
// The main page's text: how the page text file is read, and how its picture names and shop
// markers are filled in.

#include <string>
#include <string_view>
#include <vector>

#include "market/shop_session.h"

namespace kesto {

struct DecodedPageText {
    std::string text;  // UTF-8
    std::string flaw;  // empty when text holds all of the file; else what it lacks, in words
};

// The page text file's bytes as UTF-8 text. A file starting with a UTF-8 or UTF-16 byte-order
// mark is read in that encoding; any other file is text in the ANSI code page. Where the text
// would not hold all of the file, flaw says why: a zero byte without byte-order mark (where an
// ANSI text ends), a zero character, an odd number of UTF-16 bytes, or a UTF-16 surrogate
// without its pair. A text with a flaw must not be used.
DecodedPageText DecodeContentFile(std::string_view bytes);

// Replaces the uploaded pictures' file names in the text by their album addresses (at each
// position the longest name that matches wins, replaced text is not scanned again), then
// "{店铺URL}" by the shop's address and "{店铺ID}" by the user number.
std::string FillMainPageText(std::string_view text, const UploadedPictures& uploadedPictures,
                             const std::string& userNumber);

}  // namespace kesto
