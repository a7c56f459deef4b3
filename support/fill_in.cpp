#include "support/fill_in.h"

namespace kesto {

std::string FillIn(std::string_view pattern, std::initializer_list<std::string_view> values) {
    std::string text;
    const std::string_view* next = values.begin();
    std::size_t start = 0;
    for (std::size_t hole = pattern.find("{}");
         hole != std::string_view::npos && next != values.end(); hole = pattern.find("{}", start)) {
        text.append(pattern.substr(start, hole - start)).append(*next++);
        start = hole + 2;
    }
    return text.append(pattern.substr(start));
}

}  // namespace kesto
