#pragma once
// The category update text: records joined by "|", each of eight "^"-separated fields ending
// in an empty one. "id^^^^3^^^" deletes a category; "new^parent^level^0^2^name^address^"
// creates one (level 1 with parent 0 for a top-level category, level 2 with the new id of its
// top-level category for a sub-category; name and address percent-encoded).

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kesto::sim {

struct CategoryRecord {
    bool remove = false;
    std::string id;        // the existing id (remove) or the client's new id (create)
    std::string parentId;  // "0" for a top-level category
    std::string name;      // decoded, UTF-8
    std::string address;   // decoded
};

struct CategoryRecordsResult {
    std::optional<std::vector<CategoryRecord>> records;
    std::string error;
};

// Parses the decoded "updatestr" value; an empty text holds no records.
CategoryRecordsResult ParseCategoryRecords(std::string_view text);

}  // namespace kesto::sim
