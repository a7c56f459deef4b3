#pragma once
// What the category service's answers say. The marketplace promises no more than the quoted
// "cate_id" values of the list and a status of 200 for both requests: the ids are read from any
// answer, and where the list is a JSON object that also gives each category's parent, name and
// picture, those are read too, so that categories can be put back after a failure. An answer
// carrying a non-zero error code (JSON member "errCode" in any letter case, or the word followed
// by a number) is a refusal.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "job/category_records.h"

namespace kesto {

struct CategoryList {
    // The ids the deleting records name, as ParseCategoryIds reads them, in its order.
    std::vector<std::string> ids;
    // Every listed category, with what it takes to make it again; empty when the answer does not
    // describe them (then only the ids are known).
    std::vector<ListedCategory> categories;

    bool NamesKnown() const { return !categories.empty() || ids.empty(); }
};

// The shop's categories in a list answer: nothing when it carries a non-zero error code or an id
// that could not go back in a deleting record (separators, blanks, quotes, control characters,
// over 64 bytes): a list that cannot be believed is never acted on. Its categories are
// read when the answer is a JSON object whose objects holding "cate_id" (a quoted text or a whole
// number) give "parent_id" (the enclosing category when absent in a nested one, else "0"),
// "name" and "pic", exactly the ids found.
std::optional<CategoryList> ParseCategoryList(std::string_view answer);

// Whether the two id lists hold the same ids as often, in any order.
bool SameIds(std::vector<std::string> a, std::vector<std::string> b);

// Why an update answer is not a success, in words a shop owner can pass on; empty when it is
// one (no error code, or 0).
std::string UpdateAnswerProblem(std::string_view answer);

}  // namespace kesto
