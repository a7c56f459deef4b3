#pragma once
// What the category service's answers say: the list answer read as the shop's categories (or
// refused as no list at all), and the update answer judged a success or not. Both answers are
// JSON objects carrying "errCode", 0 on success.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "job/category_records.h"

namespace kesto {

struct CategoryList {
    // The ids the deleting records name, as ParseCategoryIds reads them, in its order.
    std::vector<std::string> ids;
    // Every listed category, with what it takes to make it again.
    std::vector<ListedCategory> categories;
};

// The shop's categories when the answer is a category list: a JSON object whose errCode is 0.
// Its categories are the objects in it holding "cate_id" (any letter case; a quoted text or a
// whole number), with "parent_id" (the enclosing category when absent in a nested one, else "0"),
// "name" and "pic". The ids must be the ones ParseCategoryIds finds, so that what the deleting
// update removes is exactly what can be put back, and none may hold '^' or '|'. Nothing for any
// other answer: an error page, the transaction-password page, a non-zero errCode, garbage.
std::optional<CategoryList> ParseCategoryList(std::string_view answer);

// Why an update answer is not a success, in words a shop owner can pass on; empty when it is
// one (a JSON object whose errCode is 0).
std::string UpdateAnswerProblem(std::string_view answer);

}  // namespace kesto
