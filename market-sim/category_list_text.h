#pragma once
// The text of the category list (showjson) in either answer mode. Rich: strict JSON with an error
// code of zero and each category's id, parent, name and picture. Documented: a script object
// literal with unquoted keys and single-quoted values in which only the ids keep the promised
// form "cate_id":"<digits>"; the other members are named differently, and no double quote
// appears outside the ids, so a client that searches for the ids never finds one in a name.

#include <string>
#include <vector>

#include "market-sim/answer_mode.h"
#include "market-sim/shop.h"

namespace kesto::sim {

std::string CategoryListText(const std::vector<Category>& categories, AnswerMode mode);

}  // namespace kesto::sim
