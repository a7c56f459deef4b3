#include "job/category_records.h"

#include <algorithm>
#include <set>

#include "support/ascii_text.h"
#include "support/text_conversion.h"
#include "support/url_encode.h"

namespace kesto {

std::string CreatingRecord(int id, int parent, int level, std::string_view name,
                           std::string_view address) {
    return std::to_string(id) + "^" + std::to_string(parent) + "^" + std::to_string(level) +
           "^0^2^" + UrlEncode(ToUtf8Limited(name)) + "^" + UrlEncode(ToMarketplace(address)) + "^";
}

std::vector<std::string> ParseCategoryIds(std::string_view answer) {
    static constexpr std::string_view kKey = "\"cate_id\":";
    const std::string lower = AsciiLower(answer);
    std::vector<std::string> ids;
    std::size_t from = 0;
    for (;;) {
        const std::size_t key = lower.find(kKey, from);
        if (key == std::string::npos) {
            break;
        }
        std::size_t value = lower.find_first_not_of(" \t\r\n", key + kKey.size());
        if (value == std::string::npos) {
            break;
        }
        if (lower[value] == '"') {
            const std::size_t close = lower.find('"', value + 1);
            if (close == std::string::npos) {
                break;
            }
            ids.push_back(lower.substr(value + 1, close - value - 1));
            from = close + 1;
            continue;
        }
        // An id written as a bare number is taken as it stands.
        const std::size_t end = lower.find_first_not_of("0123456789", value);
        if (end != value) {
            ids.push_back(lower.substr(value, end - value));
        }
        from = value + 1;
    }
    return ids;
}

std::string DeletingRecords(const std::vector<std::string>& ids) {
    std::string records;
    for (const std::string& id : ids) {
        records += (records.empty() ? "" : "|") + id + "^^^^3^^^";
    }
    return records;
}

namespace {

bool IsTopLevel(const ListedCategory& category) {
    return category.parentId.empty() || category.parentId == "0";
}

}  // namespace

std::string PutBackRecords(const std::vector<ListedCategory>& categories) {
    std::set<std::string> topLevelIds;
    for (const ListedCategory& category : categories) {
        if (IsTopLevel(category)) {
            topLevelIds.insert(category.id);
        }
    }
    const auto goesUnderParent = [&topLevelIds](const ListedCategory& category) {
        return !IsTopLevel(category) && topLevelIds.contains(category.parentId);
    };
    std::string records;
    const auto append = [&records](const std::string& record) {
        records += (records.empty() ? "" : "|") + record;
    };
    std::vector<bool> placed(categories.size(), false);  // a sub-category goes back once
    int counter = 10000;
    for (const ListedCategory& top : categories) {
        if (goesUnderParent(top)) {
            continue;
        }
        const int parent = counter++;
        append(CreatingRecord(parent, 0, 1, top.name, top.pictureAddress));
        if (!IsTopLevel(top)) {
            continue;  // goes back as a top-level category; its own children are not under it
        }
        for (std::size_t i = 0; i < categories.size(); ++i) {
            const ListedCategory& sub = categories[i];
            if (!placed[i] && goesUnderParent(sub) && sub.parentId == top.id) {
                placed[i] = true;
                append(CreatingRecord(counter++, parent, 2, sub.name, sub.pictureAddress));
            }
        }
    }
    return records;
}

}  // namespace kesto
