#include "market-sim/category_update_text.h"

#include <algorithm>
#include <cctype>
#include <set>

#include "market-sim/form_fields.h"
#include "market-sim/text_pieces.h"

namespace kesto::sim {
namespace {

constexpr std::size_t kMaxRecords = 2000;

// One record; topLevel holds the new ids of the top-level categories created so far.
std::string ParseRecord(std::string_view raw, std::set<std::string>& newIds,
                        std::set<std::string>& topLevel, CategoryRecord& record) {
    const auto fields = Split(raw, '^');
    if (fields.size() != 8 || !fields[7].empty()) {
        return "a record must have eight fields and end with \"^\"";
    }
    if (fields[4] == "3") {
        if (!IsAsciiDigits(fields[0]) || !fields[1].empty() || !fields[2].empty() ||
            !fields[3].empty() || !fields[5].empty() || !fields[6].empty()) {
            return "a deleting record must read \"id^^^^3^^^\"";
        }
        record.remove = true;
        record.id = std::string(fields[0]);
        return {};
    }
    if (fields[4] != "2" || !IsAsciiDigits(fields[0]) || fields[3] != "0") {
        return "a creating record must have a numeric id, 0 in field 4 and 2 in field 5";
    }
    record.id = std::string(fields[0]);
    record.parentId = std::string(fields[1]);
    if (!newIds.insert(record.id).second) {
        return "the new id " + record.id + " is used twice";
    }
    if (fields[2] == "1") {
        if (record.parentId != "0") {
            return "a top-level category must have the parent 0";
        }
        topLevel.insert(record.id);
    } else if (fields[2] != "2") {
        return "field 3 (the level) must be 1 or 2";
    } else if (!topLevel.contains(record.parentId)) {
        return "a sub-category must name a top-level category created before it";
    }
    const auto name = PercentDecode(fields[5]);
    const auto address = PercentDecode(fields[6]);
    if (!name || !address) {
        return "a category's name or address is not properly percent-encoded";
    }
    record.name = *name;
    record.address = *address;
    return {};
}

}  // namespace

CategoryRecordsResult ParseCategoryRecords(std::string_view text) {
    CategoryRecordsResult result;
    std::vector<CategoryRecord> records;
    if (text.empty()) {
        result.records = std::move(records);
        return result;
    }
    const auto raw = Split(text, '|');
    if (raw.size() > kMaxRecords) {
        result.error = "more than " + std::to_string(kMaxRecords) + " records";
        return result;
    }
    std::set<std::string> newIds;
    std::set<std::string> topLevel;
    for (std::size_t i = 0; i < raw.size(); ++i) {
        CategoryRecord record;
        const std::string error = ParseRecord(raw[i], newIds, topLevel, record);
        if (!error.empty()) {
            result.error = "record " + std::to_string(i + 1) + ": " + error;
            return result;
        }
        records.push_back(std::move(record));
    }
    result.records = std::move(records);
    return result;
}

}  // namespace kesto::sim
