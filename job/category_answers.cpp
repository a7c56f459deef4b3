#include "job/category_answers.h"

#include <json/reader.h>

#include <algorithm>
#include <exception>
#include <memory>

#include "support/ascii_text.h"

namespace kesto {

namespace {

// Far deeper than any list; a deeper answer is refused rather than walked.
constexpr int kMaxDepth = 64;
// The most of the marketplace's own message a reason quotes.
constexpr std::size_t kMaxQuotedBytes = 200;

std::optional<Json::Value> ParseJsonObject(std::string_view text) {
    Json::CharReaderBuilder builder;
    Json::CharReaderBuilder::strictMode(&builder.settings_);
    builder["stackLimit"] = kMaxDepth;
    const std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    Json::Value value;
    std::string errors;
    try {
        if (!reader->parse(text.data(), text.data() + text.size(), &value, &errors) ||
            !value.isObject()) {
            return std::nullopt;
        }
    } catch (const std::exception&) {
        return std::nullopt;  // nested beyond the limit
    }
    return value;
}

// The member whose key is lowerKey in any letter case, or null.
const Json::Value* Member(const Json::Value& object, std::string_view lowerKey) {
    for (auto member = object.begin(); member != object.end(); ++member) {
        if (AsciiLower(member.name()) == lowerKey) {
            return &*member;
        }
    }
    return nullptr;
}

// A text or a whole number as text; nothing for any other value.
std::optional<std::string> ScalarText(const Json::Value& value) {
    if (value.isString() || value.type() == Json::intValue || value.type() == Json::uintValue) {
        return value.asString();
    }
    return std::nullopt;
}

// A text member, empty when absent; nothing when it is not a text.
std::optional<std::string> TextMember(const Json::Value& object, std::string_view lowerKey) {
    const Json::Value* member = Member(object, lowerKey);
    if (member == nullptr) {
        return std::string();
    }
    if (!member->isString()) {
        return std::nullopt;
    }
    return member->asString();
}

// The category an object with a "cate_id" describes; nothing when a field has the wrong type.
std::optional<ListedCategory> ReadCategory(const Json::Value& object, const Json::Value& id,
                                           const std::string& enclosingId) {
    const std::optional<std::string> idText = ScalarText(id);
    const std::optional<std::string> name = TextMember(object, "name");
    const std::optional<std::string> picture = TextMember(object, "pic");
    if (!idText || !name || !picture) {
        return std::nullopt;
    }
    std::string parent = enclosingId.empty() ? "0" : enclosingId;
    if (const Json::Value* parentId = Member(object, "parent_id")) {
        const std::optional<std::string> parentText = ScalarText(*parentId);
        if (!parentText) {
            return std::nullopt;
        }
        parent = AsciiLower(*parentText);
    }
    return ListedCategory{AsciiLower(*idText), std::move(parent), *name, *picture};
}

// Collects the categories in value and below it; false when one cannot be read.
bool CollectCategories(const Json::Value& value, const std::string& enclosingId,
                       std::vector<ListedCategory>& found) {
    if (!value.isArray() && !value.isObject()) {
        return true;
    }
    std::string innerId = enclosingId;
    if (value.isObject()) {
        if (const Json::Value* id = Member(value, "cate_id")) {
            std::optional<ListedCategory> category = ReadCategory(value, *id, enclosingId);
            if (!category) {
                return false;
            }
            innerId = category->id;
            found.push_back(std::move(*category));
        }
    }
    return std::all_of(value.begin(), value.end(), [&](const Json::Value& inner) {
        return CollectCategories(inner, innerId, found);
    });
}

bool IsUsableId(const std::string& id) {
    return !id.empty() && id.find_first_of("^|") == std::string::npos;
}

// Whether the two id lists hold the same ids as often, in any order.
bool SameIds(std::vector<std::string> a, std::vector<std::string> b) {
    std::sort(a.begin(), a.end());
    std::sort(b.begin(), b.end());
    return a == b;
}

// The error code of an answer as text; nothing when the answer is no JSON object with one.
std::optional<std::string> ErrorCode(const std::optional<Json::Value>& object) {
    const Json::Value* code = object ? Member(*object, "errcode") : nullptr;
    return code != nullptr ? ScalarText(*code) : std::nullopt;
}

// At most kMaxQuotedBytes of text, cut between characters.
std::string Shortened(std::string text) {
    if (text.size() <= kMaxQuotedBytes) {
        return text;
    }
    std::size_t end = kMaxQuotedBytes;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) {
        --end;
    }
    text.resize(end);
    return text + "...";
}

}  // namespace

std::optional<CategoryList> ParseCategoryList(std::string_view answer) {
    const std::optional<Json::Value> object = ParseJsonObject(answer);
    if (ErrorCode(object) != "0") {
        return std::nullopt;
    }
    CategoryList list;
    if (!CollectCategories(*object, {}, list.categories)) {
        return std::nullopt;
    }
    list.ids = ParseCategoryIds(answer);
    std::vector<std::string> read;
    for (const ListedCategory& category : list.categories) {
        read.push_back(category.id);
    }
    if (!std::all_of(read.begin(), read.end(), IsUsableId) || !SameIds(read, list.ids)) {
        return std::nullopt;
    }
    return list;
}

std::string UpdateAnswerProblem(std::string_view answer) {
    const std::optional<Json::Value> object = ParseJsonObject(answer);
    const std::optional<std::string> code = ErrorCode(object);
    if (!code) {
        return answer.empty() ? "the marketplace answered with nothing"
                              : "the marketplace's answer is not a success answer";
    }
    if (*code == "0") {
        return {};
    }
    std::string problem = "the marketplace refused it (errCode " + *code;
    const std::optional<std::string> message = TextMember(*object, "msg");
    if (message && !message->empty()) {
        problem += ": " + Shortened(*message);
    }
    return problem + ")";
}

}  // namespace kesto
