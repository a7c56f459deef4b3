#include "job/category_service.h"

#include "job/area_result.h"
#include "market/failure_reason.h"
#include "market/hosts.h"
#include "market/http_request.h"
#include "market/password_request.h"
#include "market/shop_session.h"
#include "market/transaction_password.h"
#include "platform/translation.h"

namespace kesto {

namespace {

// The category endpoints carry this fixed token, not the session's.
std::string CategoryAddress(std::string_view endpoint) {
    return hosts::Address(hosts::kManage, "/cgi-bin/mycategory/" + std::string(endpoint) +
                                              "?g_tk=7302518846&g_ty=ajax");
}

// What the request layer recorded about the request that just failed.
CategoryRequestFailure NotedFailure(const RequestOptions& options) {
    const std::string& reason = options.failure.reason;
    return {reason.empty() ? Translate("the request could not be made") : reason,
            options.failure.outcomeUnknown};
}

}  // namespace

std::optional<CategoryList> CategoryService::ReadList(CategoryRequestFailure& failure) {
    RequestOptions options;
    options.context = &session_.context();
    std::string answer;
    if (HttpRequest(answer, CategoryAddress("showjson").c_str(), options, kMethodGet, nullptr,
                    false) <= 0) {
        failure = NotedFailure(options);
        return std::nullopt;
    }
    if (AsksForPassword(answer)) {
        failure = {TransactionPasswordReason(), false};
        return std::nullopt;
    }
    std::optional<CategoryList> list = ParseCategoryList(answer);
    if (!list) {
        failure = {StepCause(session_.context(), "not-category-list",
                             Translate("the marketplace's answer is not a category list to go by "
                                       "(it carries an error code, or an id no category can "
                                       "have)")),
                   false};
    }
    return list;
}

bool CategoryService::Update(const std::string& records, bool encodeValues,
                             CategoryRequestFailure& failure) {
    RequestOptions options;
    options.context = &session_.context();
    std::string answer;
    const std::string body = "updatestr=" + records;
    if (HttpRequest(answer, CategoryAddress("update").c_str(), options, kMethodPost, body.c_str(),
                    encodeValues) <= 0) {
        failure = NotedFailure(options);
        return false;
    }
    if (answer.empty()) {
        // An answer cut off after its status line reads as an empty one: nothing says whether
        // the update was carried out.
        failure = {StepCause(session_.context(), "empty-answer",
                             Translate("the marketplace answered with nothing")),
                   true};
        return false;
    }
    if (AsksForPassword(answer)) {
        failure = {TransactionPasswordReason(), false};
        return false;
    }
    std::string problem = UpdateAnswerProblem(answer);
    if (!problem.empty()) {
        failure = {StepCause(session_.context(), "refused", std::move(problem)), false};
        return false;
    }
    return true;
}

bool CategoryService::AsksForPassword(const std::string& answer) {
    if (!IsTransactionPasswordPage(answer)) {
        return false;
    }
    if (!passwordMet_) {
        MeetsTransactionPassword(session_.context(), answer);
        passwordMet_ = true;
    }
    return true;
}

}  // namespace kesto
