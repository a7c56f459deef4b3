#pragma once
// The caret-separated records the category update takes: one creating record per category, one
// deleting record per existing category, and the creating records that put a listed category tree
// back.

#include <string>
#include <string_view>
#include <vector>

#include "templates/template_names.h"

namespace kesto {

// The record that creates a category: "id^parent^level^0^2^name^address^", with the name sent
// as UTF-8 and the address in the marketplace's code page, both percent-encoded whole.
std::string CreatingRecord(int id, int parent, int level, std::string_view name,
                           std::string_view address);

// The ids a category list answer holds, in order: the value after each "cate_id" key (any
// letter case), quoted or a bare number.
std::vector<std::string> ParseCategoryIds(std::string_view answer);

// The records that delete the given categories, joined by '|': "id^^^^3^^^".
std::string DeletingRecords(const std::vector<std::string>& ids);

// One category as the shop's category list shows it.
struct ListedCategory {
    std::string id;
    std::string parentId;  // "0" or empty for a top-level category
    std::string name;
    std::string pictureAddress;
};

// The creating records that make the listed categories again, with new ids from 10000: each
// top-level category followed by its sub-categories, in list order. A category goes back under
// its parent only when that parent is listed as a top-level category; any other (its parent
// missing, or itself a sub-category) goes back as a top-level category, so that none is lost.
std::string PutBackRecords(const std::vector<ListedCategory>& categories);

}  // namespace kesto
