#pragma once
// The question asked before a decoration deletes the shop's categories: the same words in the
// desktop program's dialog and on kesto-decorate's terminal.

namespace kesto {

// "Decorating deletes all of the shop's current categories; continue?"
inline constexpr char kCategoriesWarning[] = "装修会删除现在的所有分类，是否继续?";

}  // namespace kesto
