#include "market-sim/category_list_text.h"

#include <array>
#include <cstdio>

#include "market-sim/exchange.h"

namespace kesto::sim {
namespace {

// A single-quoted script string. Double quotes are written as escapes too, so that none of a
// name's text can be taken for the quotes around an id.
std::string SingleQuote(std::string_view text) {
    std::string quoted = "'";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\\' || c == '\'') {
            quoted += {'\\', c};
        } else if (c == '"' || byte < 0x20 || byte == 0x7f) {
            std::array<char, 5> escape{};
            std::snprintf(escape.data(), escape.size(), "\\x%02x", byte);
            quoted += escape.data();
        } else {
            quoted += c;
        }
    }
    return quoted + "'";
}

std::string RichEntry(const Category& category) {
    return "{\"cate_id\":\"" + category.id + "\",\"parent_id\":\"" + category.parentId +
           "\",\"name\":" + JsonQuote(category.name) +
           ",\"pic\":" + JsonQuote(category.pictureAddress) + "}";
}

std::string DocumentedEntry(const Category& category) {
    return "{\"cate_id\":\"" + category.id + "\",pcid:" + SingleQuote(category.parentId) +
           ",cname:" + SingleQuote(category.name) + ",img:" + SingleQuote(category.pictureAddress) +
           "}";
}

}  // namespace

std::string CategoryListText(const std::vector<Category>& categories, AnswerMode mode) {
    const bool rich = mode == AnswerMode::kRich;
    std::string list;
    for (const auto& category : categories) {
        list +=
            (list.empty() ? "" : ",") + (rich ? RichEntry(category) : DocumentedEntry(category));
    }
    return rich ? "{\"errCode\":\"0\",\"msg\":\"\",\"data\":{\"cates\":[" + list + "]}}"
                : "{cates:[" + list + "]}";
}

}  // namespace kesto::sim
