// The category endpoints: the list (showjson) and the update that deletes and creates
// categories. Both carry the fixed token 7302518846, not the session's. Updates that give two
// top-level categories one name are taken unless the marketplace is set to refuse them.

#include <algorithm>
#include <map>
#include <set>

#include "market-sim/category_list_text.h"
#include "market-sim/category_update_text.h"
#include "market-sim/form_fields.h"
#include "market-sim/login_check.h"
#include "market-sim/manage_handlers.h"

namespace kesto::sim {
namespace {

constexpr char kFixedQuery[] = "g_tk=7302518846&g_ty=ajax";
constexpr char kFixedToken[] = "7302518846";

bool RequireCategoryRequest(Exchange& exchange, const MarketContext& context, const char* method,
                            std::optional<Identity>& identity) {
    identity = RequireLogin(exchange, context, CategoryJsonErrorBody);
    if (!identity) {
        return false;
    }
    if (exchange.request.method != method) {
        Refuse(exchange, context, 405, exchange.request.method + " is not allowed here",
               CategoryJsonErrorBody);
        return false;
    }
    return RequireToken(exchange, context, kFixedToken, CategoryJsonErrorBody) &&
           RequireQuery(exchange, context, kFixedQuery, CategoryJsonErrorBody);
}

// The "updatestr" value: sent raw (carets and bars as they are) or form-encoded as a whole.
std::optional<std::string> UpdateText(const std::string& body) {
    constexpr std::string_view kKey = "updatestr=";
    if (body.rfind(kKey, 0) != 0) {
        return std::nullopt;
    }
    const std::string value = body.substr(kKey.size());
    if (value.find_first_of("&=") != std::string::npos) {
        return std::nullopt;
    }
    if (value.find('^') != std::string::npos) {
        return value;
    }
    return PercentDecode(value);
}

// Applies the records to the categories, noting the ids of those created; the reason on failure.
std::string ApplyRecords(std::vector<Category>& categories,
                         const std::vector<CategoryRecord>& records, Marketplace& market,
                         std::set<std::string>& created) {
    std::map<std::string, std::string> realIds;  // the client's new ids to the shop's
    for (const auto& record : records) {
        if (record.remove) {
            const auto erased =
                std::erase_if(categories, [&](const Category& c) { return c.id == record.id; });
            if (erased == 0) {
                return "no category has the id " + record.id;
            }
            continue;
        }
        if (!record.address.empty() && record.address.rfind("http://", 0) != 0) {
            return "the picture address \"" + record.address + "\" is not an address";
        }
        const std::string id = market.NewId();
        realIds[record.id] = id;
        created.insert(id);
        categories.push_back({id, record.parentId == "0" ? "0" : realIds[record.parentId],
                              record.name, record.address});
    }
    // Sub-categories go with their top-level category.
    std::erase_if(categories, [&](const Category& c) {
        return c.parentId != "0" &&
               std::none_of(categories.begin(), categories.end(),
                            [&](const Category& p) { return p.id == c.parentId; });
    });
    return {};
}

// The name a newly created top-level category shares with another top-level category.
std::optional<std::string> DuplicateTopLevelName(const std::vector<Category>& categories,
                                                 const std::set<std::string>& created) {
    for (const auto& fresh : categories) {
        if (fresh.parentId != "0" || !created.contains(fresh.id)) {
            continue;
        }
        for (const auto& other : categories) {
            if (other.parentId == "0" && other.id != fresh.id && other.name == fresh.name) {
                return fresh.name;
            }
        }
    }
    return std::nullopt;
}

struct UpdateOutcome {
    int status = 200;
    std::string error;
};

// Applies the records to the shop whole, or changes nothing and says why.
UpdateOutcome UpdateCategories(Shop& shop, const std::vector<CategoryRecord>& records,
                               Marketplace& market) {
    std::vector<Category> categories = shop.categories;
    std::set<std::string> created;
    std::string error = ApplyRecords(categories, records, market, created);
    if (!error.empty()) {
        return {400, error};
    }
    if (market.RefusesDuplicateCategoryNames()) {
        if (const auto name = DuplicateTopLevelName(categories, created)) {
            return {409, "a top-level category is named " + *name + " already"};
        }
    }
    shop.categories = std::move(categories);
    return {};
}

}  // namespace

void HandleCategoryList(Exchange& exchange, const MarketContext& context) {
    std::optional<Identity> identity;
    if (!RequireCategoryRequest(exchange, context, "GET", identity)) {
        return;
    }
    const auto lock = context.market.Lock();
    const Shop* shop = context.market.FindShop(identity->userNumber);
    Answer(exchange, context, 200, CategoryListText(shop->categories, context.answerMode),
           context.answerMode == AnswerMode::kRich ? "application/json" : "text/javascript");
}

void HandleCategoryUpdate(Exchange& exchange, const MarketContext& context) {
    std::optional<Identity> identity;
    if (!RequireCategoryRequest(exchange, context, "POST", identity)) {
        return;
    }
    const auto text = UpdateText(exchange.body);
    if (!text) {
        Refuse(exchange, context, 400, "the body is not updatestr=<records>",
               CategoryJsonErrorBody);
        return;
    }
    const auto parsed = ParseCategoryRecords(*text);
    if (!parsed.records) {
        Refuse(exchange, context, 400, "bad category records: " + parsed.error,
               CategoryJsonErrorBody);
        return;
    }
    UpdateOutcome outcome;
    {
        const auto lock = context.market.Lock();
        outcome = UpdateCategories(*context.market.FindShop(identity->userNumber), *parsed.records,
                                   context.market);
    }
    if (!outcome.error.empty()) {
        Refuse(exchange, context, outcome.status, outcome.error, CategoryJsonErrorBody);
        return;
    }
    if (context.answerMode == AnswerMode::kRich) {
        Answer(exchange, context, 200, "{\"errCode\":\"0\",\"msg\":\"ok\"}", "application/json");
    } else {
        Answer(exchange, context, 200, "ok", "text/plain");
    }
}

}  // namespace kesto::sim
