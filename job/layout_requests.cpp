#include "job/layout_requests.h"

#include "job/area_result.h"
#include "job/content_info.h"
#include "job/shop_layout.h"
#include "market/failure_reason.h"
#include "market/hosts.h"
#include "market/http_request.h"
#include "market/identity.h"
#include "market/job_context.h"
#include "market/password_request.h"
#include "market/shop_session.h"
#include "matcher/pattern_matcher.h"
#include "platform/translation.h"
#include "support/fill_in.h"

namespace kesto {

namespace {

std::string ManageAddress(std::string_view pathAndQuery) {
    return hosts::Address(hosts::kManage, pathAndQuery);
}

RequestOptions LayoutOptions(JobContext& context) {
    RequestOptions options;
    options.context = &context;
    options.extraHeader = "Referer: " + ManageAddress("/myshop/shopLayout.shtml") + " \r\n";
    return options;
}

// The fsid patterns, in lower case like the shop data they search. The custom-content pattern
// names the order of the module it looks for: a new module is found by the order AddCustomContent
// gave it.
constexpr char kShopHeaderPattern[] = R"(segsequence:"0",aid:"0",.*?,mid:"9",.*?,fsid:"{\d+}")";
constexpr char kCustomContentOrder[] = "100";

std::string CustomContentPattern(std::string_view order) {
    return R"(segsequence:"1",aid:"1",.*?,order:")" + std::string(order) +
           R"(",mid:"13",.*?,fsid:"{\d+}")";
}

constexpr const char* kContentInfoStep = TranslatedLater("reading the shop's content information");

// Why the last manage request failed: its recorded failure, or an empty answer.
std::string ManageRequestFailure(JobContext& context) {
    const std::string& note = context.lastFailure.reason;
    return note.empty() ? StepCause(context, "empty-answer",
                                    FillIn(Translate("{} sent an empty answer: run again"),
                                           {hosts::kManage}))
                        : note;
}

// Sends the layout text: 1 saved, 0 refused, -1 no answer. The answer (empty when none came) is
// kept for the caller to judge further.
int PostShopLayout(JobContext& context, const std::string& layoutText, std::string& answer) {
    RequestOptions options = LayoutOptions(context);
    const std::string url = ManageAddress(
        "/cgi-bin/modularmanage/layoutupdate?g_tk=" + GetRequestToken() + "&g_ty=ajax");
    const std::string body = "page=1&pageid=0&layoutinfo=" + layoutText;
    HttpRequest(answer, url.c_str(), options, kMethodPost, body.c_str(), true);
    if (answer.empty()) {
        return -1;
    }
    return answer.find("\"errCode\":\"0\"") != std::string::npos ? 1 : 0;
}

// Reads the layout into an editable document. 1 read; 0 no editable document (unreadable set,
// when given) or the transaction-password page; -1 no answer. Failures are described under step.
int ReadEditableLayout(ShopSession& session, std::string& failure, std::string_view step,
                       Json::Value& layout, bool* unreadable = nullptr) {
    JobContext& context = session.context();
    std::string answer;
    if (ReadShopLayout(context, answer) <= 0) {
        failure = WithReason(step, WithReason(Translate("reading the shop's layout"),
                                              ManageRequestFailure(context)));
        return -1;
    }
    if (MeetsTransactionPassword(context, answer)) {
        failure = WithReason(step, TransactionPasswordReason());
        return 0;
    }
    ParseShopLayout(ExtractLayoutDocument(answer), layout);
    if (!IsEditableLayout(layout)) {
        // Never send back a layout flattened from a document that is not there.
        if (unreadable != nullptr) {
            *unreadable = true;
        }
        failure = WithReason(
            step,
            StepCause(
                context, "unreadable-layout",
                Translate("the marketplace sent a shop layout that cannot be read: run again")));
        return 0;
    }
    return 1;
}

// Saves the edited layout. 1 saved; 0 refused or the transaction-password page; -1 no answer.
// Failures are described under step.
int SaveEditedLayout(ShopSession& session, std::string& failure, std::string_view step,
                     const Json::Value& layout) {
    JobContext& context = session.context();
    std::string answer;
    const int saved = PostShopLayout(context, BuildLayoutInfo(layout), answer);
    if (saved < 0) {
        failure = WithReason(
            step, WithReason(Translate("saving the shop layout"), ManageRequestFailure(context)));
    } else if (MeetsTransactionPassword(context, answer)) {
        failure = WithReason(step, TransactionPasswordReason());
        return 0;
    } else if (saved == 0) {
        failure =
            WithReason(step, StepCause(context, "refused",
                                       Translate("the marketplace refused the new shop layout")));
    }
    return saved;
}

}  // namespace

int ReadShopLayout(JobContext& context, std::string& answer) {
    RequestOptions options = LayoutOptions(context);
    const std::string url = ManageAddress(
        "/cgi-bin/modularmanage/layoutshow?page=1&pageid=0&g_tk=" + GetRequestToken());
    HttpRequest(answer, url.c_str(), options, kMethodGet, nullptr, true);
    return answer.empty() ? -1 : 1;
}

int EditShopLayout(ShopSession& session, std::string& failure, std::string_view step,
                   const std::function<bool(Json::Value& layout)>& edit, bool& sent,
                   bool* unreadable) {
    sent = false;
    Json::Value layout;
    const int read = ReadEditableLayout(session, failure, step, layout, unreadable);
    if (read <= 0 || !edit(layout)) {
        return read;
    }
    sent = true;
    return SaveEditedLayout(session, failure, step, layout);
}

int RestoreShopLayout(ShopSession& session, std::string& failure, std::string_view step,
                      const Json::Value& before, const ModuleFilter& pick, bool* found) {
    Json::Value current;
    const int read = ReadEditableLayout(session, failure, step, current);
    if (read <= 0) {
        return read;
    }
    Json::Value restored = before;
    const bool listed = ListAddedModulesForRemoval(restored, current, pick) > 0;
    if (found != nullptr) {
        *found = listed;
    }
    if (!listed) {
        return 1;
    }
    return SaveEditedLayout(session, failure, step, restored);
}

int AddShopHeaderModule(ShopSession& session, std::string& failure, BannerChange& change) {
    change = {};
    bool sent = false;
    const int result = EditShopLayout(
        session, failure, Translate("adding the shop header module to the layout"),
        [&change](Json::Value& layout) {
            Json::Value before = layout;
            if (AddShopHeader(layout) <= 0) {
                return false;
            }
            change.replacedFsids = ReplacedBannerFsids(before);
            change.layoutBefore = std::move(before);
            return true;
        },
        sent);
    change.headerSent = sent;
    return result;
}

int ReadContentInfo(ShopSession& session, std::string& failure, std::string& shopData) {
    JobContext& context = session.context();
    RequestOptions options;
    options.context = &context;
    std::string answer;
    HttpRequest(answer, ManageAddress("/cgi-bin/myshop/contentinfoshow").c_str(), options,
                kMethodGet, nullptr, true);
    ShopData data = ExtractShopData(answer);
    if (data.asksTransactionPassword) {
        MeetsTransactionPassword(context, answer);
        failure = WithReason(Translate(kContentInfoStep), TransactionPasswordReason());
    } else if (data.result < 0) {
        failure = WithReason(Translate(kContentInfoStep), ManageRequestFailure(context));
    } else if (data.result == 0) {
        failure = WithReason(
            Translate(kContentInfoStep),
            StepCause(context, "no-shop-data", Translate("the page holds no shop data")));
    }
    if (data.result > 0) {
        shopData = std::move(data.text);
    }
    return data.result;
}

std::string FindModuleFsid(std::string_view moduleName, std::string_view shopData) {
    std::string pattern;
    if (moduleName.find(kShopSignModule) != std::string_view::npos) {
        pattern = kShopHeaderPattern;
    } else if (moduleName.find(kCustomContentModule) != std::string_view::npos) {
        pattern = CustomContentPattern(kCustomContentOrder);
    } else {
        return {};
    }
    std::vector<std::string> captures;
    if (!FindCaptures(shopData, pattern, captures)) {
        return {};
    }
    return captures.front();
}

std::string FindNewCustomContentFsid(std::string_view shopData, std::string_view order,
                                     const std::set<std::string>& knownFsids) {
    const std::string pattern = CustomContentPattern(order);
    std::string_view rest = shopData;
    for (;;) {
        std::vector<std::string> captures;
        if (!FindCaptures(rest, pattern, captures)) {
            return {};
        }
        const std::string& fsid = captures.front();
        if (!knownFsids.contains(fsid)) {
            return fsid;
        }
        // An old module: look on after its record (fsids are unique in the shop data).
        const std::size_t record = rest.find("fsid:\"" + fsid + "\"");
        if (record == std::string_view::npos) {
            return {};
        }
        rest.remove_prefix(record + 1);
    }
}

std::string GetModuleFsid(ShopSession& session, std::string& failure, std::string_view moduleName) {
    std::string shopData;
    if (ReadContentInfo(session, failure, shopData) <= 0) {
        return {};
    }
    std::string fsid = FindModuleFsid(moduleName, shopData);
    if (fsid.empty()) {
        failure =
            WithReason(FillIn(Translate("finding the module {}"), {moduleName}),
                       StepCause(session.context(), "module-missing",
                                 Translate("the shop's content information does not list it")));
    }
    return fsid;
}

}  // namespace kesto
