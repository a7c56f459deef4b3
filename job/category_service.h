#pragma once
// The category service's two requests for one category update, each judged by what the
// marketplace answered: the list of the shop's categories, and the update that deletes or
// creates categories. Both carry the fixed token 7302518846, not the session's. The
// transaction-password page fails either request; the job's context is told the first time only.

#include <optional>
#include <string>

#include "job/category_answers.h"

namespace kesto {

struct ShopSession;

// Why a request failed, in words a shop owner can act on.
struct CategoryRequestFailure {
    std::string reason;
    // No answer came in time: the marketplace may have carried the request out, or may yet.
    bool outcomeUnknown = false;
};

class CategoryService {
  public:
    explicit CategoryService(ShopSession& session) : session_(session) {}

    // The shop's categories; nothing when the answer is no category list (failure set).
    std::optional<CategoryList> ReadList(CategoryRequestFailure& failure);

    // Sends "updatestr=" + records, its value form-encoded when encodeValues is set; true when
    // the marketplace accepted it, otherwise failure says why.
    bool Update(const std::string& records, bool encodeValues, CategoryRequestFailure& failure);

  private:
    // Whether the answer is the transaction-password page.
    bool AsksForPassword(const std::string& answer);

    ShopSession& session_;
    bool passwordMet_ = false;
};

}  // namespace kesto
