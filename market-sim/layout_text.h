#pragma once
// The layout text a client saves: lines joined by "|", ten "^"-separated fields per line. A
// segment line (fields 4 to 6 are "0") opens a segment; the module lines after it repeat the
// segment's first three fields and list its modules in their new order. Action "2" adds a
// module (the server gives it an fsid), "3" removes one; other actions keep it.

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "market-sim/layout_model.h"

namespace kesto::sim {

struct LayoutLine {
    std::array<std::string, 10> fields;
    bool IsSegment() const { return fields[3] == "0" && fields[4] == "0" && fields[5] == "0"; }
};

struct LayoutTextResult {
    std::optional<std::vector<LayoutLine>> lines;
    std::string error;
};

// Every line must have ten fields, each a non-empty run of decimal digits.
LayoutTextResult ParseLayoutText(std::string_view text);

// Applies the lines to a copy of the layout; on success the copy replaces it and the result is
// empty, otherwise the layout is untouched and the result says what was wrong.
std::string ApplyLayoutLines(ShopLayout& layout, const std::vector<LayoutLine>& lines,
                             const std::function<std::string()>& newFsid);

}  // namespace kesto::sim
