#include "job/category_answers.h"

#include <json/reader.h>

#include <algorithm>
#include <exception>
#include <memory>

#include "market/answer_message.h"
#include "platform/translation.h"
#include "support/ascii_text.h"
#include "support/fill_in.h"

namespace kesto {

namespace {

// Far deeper than any list; a deeper answer is refused rather than walked.
constexpr int kMaxDepth = 64;
// Far longer than any category id.
constexpr std::size_t kMaxIdBytes = 64;

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

// What the objects of a JSON list holding "cate_id" say.
struct JsonCategories {
    std::vector<ListedCategory> categories;  // one per object, in order
    bool complete = true;  // every one gives its name and picture as texts, and its parent
};

// The category an object with a "cate_id" describes; nothing when its id is neither a text nor
// a whole number. complete is cleared when it lacks what it takes to make it again.
std::optional<ListedCategory> ReadCategory(const Json::Value& object, const Json::Value& id,
                                           const std::string& enclosingId, bool& complete) {
    const std::optional<std::string> idText = ScalarText(id);
    if (!idText) {
        return std::nullopt;
    }
    const std::optional<std::string> name = TextMember(object, "name");
    const std::optional<std::string> picture = TextMember(object, "pic");
    std::string parent = enclosingId.empty() ? "0" : enclosingId;
    const Json::Value* parentId = Member(object, "parent_id");
    const std::optional<std::string> parentText =
        parentId != nullptr ? ScalarText(*parentId) : std::optional<std::string>(parent);
    if (!name || !picture || !parentText || Member(object, "name") == nullptr) {
        complete = false;
        return ListedCategory{AsciiLower(*idText), std::move(parent), {}, {}};
    }
    return ListedCategory{AsciiLower(*idText), AsciiLower(*parentText), *name, *picture};
}

// Collects the categories in value and below it; false when an id cannot be read.
bool CollectCategories(const Json::Value& value, const std::string& enclosingId,
                       JsonCategories& found) {
    if (!value.isArray() && !value.isObject()) {
        return true;
    }
    std::string innerId = enclosingId;
    if (value.isObject()) {
        if (const Json::Value* id = Member(value, "cate_id")) {
            std::optional<ListedCategory> category =
                ReadCategory(value, *id, enclosingId, found.complete);
            if (!category) {
                return false;
            }
            innerId = category->id;
            found.categories.push_back(std::move(*category));
        }
    }
    return std::all_of(value.begin(), value.end(), [&](const Json::Value& inner) {
        return CollectCategories(inner, innerId, found);
    });
}

// Whether an id can go back in a deleting record as it stands: the marketplace promises nothing
// of its form, but an id holding a record's separators ('^', '|'), blanks, quotes or control
// characters, or one longer than any id, is no id but a list that cannot be believed.
bool IsUsableId(const std::string& id) {
    return !id.empty() && id.size() <= kMaxIdBytes && std::all_of(id.begin(), id.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte > 0x20 && byte < 0x7F &&
               std::string_view("^|\"'\\").find(c) == std::string_view::npos;
    });
}

// The error code an answer that is no JSON object carries: the first run of digits after the
// word "errcode" (any letter case), with a '-' right before it; nothing without the word.
std::optional<std::string> ErrorCodeInText(std::string_view answer) {
    const std::string lower = AsciiLower(answer);
    const std::size_t word = lower.find("errcode");
    if (word == std::string::npos) {
        return std::nullopt;
    }
    const std::size_t digits = lower.find_first_of("0123456789", word);
    if (digits == std::string::npos) {
        return std::nullopt;
    }
    const std::size_t end = std::min(lower.find_first_not_of("0123456789", digits), lower.size());
    const bool negative = digits > 0 && lower[digits - 1] == '-';
    return (negative ? "-" : "") + lower.substr(digits, end - digits);
}

// The error code an answer carries, as text; nothing when it carries none.
std::optional<std::string> ErrorCode(std::string_view answer,
                                     const std::optional<Json::Value>& object) {
    if (!object) {
        return ErrorCodeInText(answer);
    }
    const Json::Value* code = Member(*object, "errcode");
    return code != nullptr ? ScalarText(*code) : std::nullopt;
}

bool IsZero(const std::string& code) {
    return code.find_first_not_of('0') == std::string::npos && !code.empty();
}

}  // namespace

bool SameIds(std::vector<std::string> a, std::vector<std::string> b) {
    std::sort(a.begin(), a.end());
    std::sort(b.begin(), b.end());
    return a == b;
}

std::optional<CategoryList> ParseCategoryList(std::string_view answer) {
    const std::optional<Json::Value> object = ParseJsonObject(answer);
    const std::optional<std::string> code = ErrorCode(answer, object);
    if (code && !IsZero(*code)) {
        return std::nullopt;
    }
    CategoryList list;
    list.ids = ParseCategoryIds(answer);
    if (!std::all_of(list.ids.begin(), list.ids.end(), IsUsableId)) {
        return std::nullopt;
    }
    if (!object) {
        return list;
    }
    // A JSON list must name the same ids its quoted values give, or it cannot be believed.
    JsonCategories found;
    if (!CollectCategories(*object, {}, found)) {
        return std::nullopt;
    }
    std::vector<std::string> read;
    for (const ListedCategory& category : found.categories) {
        read.push_back(category.id);
    }
    if (!SameIds(read, list.ids)) {
        return std::nullopt;
    }
    if (found.complete) {
        list.categories = std::move(found.categories);
    }
    return list;
}

std::string UpdateAnswerProblem(std::string_view answer) {
    const std::optional<Json::Value> object = ParseJsonObject(answer);
    const std::optional<std::string> code = ErrorCode(answer, object);
    if (!code || IsZero(*code)) {
        return {};
    }
    const std::string message = AnswerMessage(answer);
    return message.empty()
               ? FillIn(Translate("the marketplace refused it (errCode {})"), {*code})
               : FillIn(Translate("the marketplace refused it (errCode {}: {})"), {*code, message});
}

}  // namespace kesto
