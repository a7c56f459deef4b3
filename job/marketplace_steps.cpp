#include "job/marketplace_steps.h"

#include "job/categories.h"
#include "job/layout_requests.h"
#include "job/main_page.h"
#include "job/shop_sign.h"
#include "market/failure_reason.h"
#include "market/identity.h"
#include "market/shop_session.h"

namespace kesto {

namespace {

class MarketplaceSteps final : public DecorationSteps {
  public:
    explicit MarketplaceSteps(std::shared_ptr<ProgressSink> progress) {
        session_.progress = std::move(progress);
    }

    // The layout step adds the shop header only: the main page update adds its own
    // custom-content module once its pictures are in the album, so the old one stays until the
    // new one is complete.
    int SaveShopLayout(bool shopSign, bool /*mainPage*/) override {
        ForgetFailure();
        const int result = kesto::SaveShopLayout(session_, shopSign, banner_);
        layoutFailure_ = result > 0 ? std::string() : FailureReason();
        return result;
    }
    int UpdateShopSign(const std::string& picturePath) override {
        ForgetFailure();
        const int result = kesto::UpdateShopSign(session_, picturePath, banner_);
        if (result < 0 && !layoutFailure_.empty()) {
            // The header the sign needs is missing because the layout step failed.
            session_.failure += " (the layout step before it failed: " + layoutFailure_ + ")";
        }
        return result;
    }
    int UpdateMainPage(const std::string& mainFolder) override {
        ForgetFailure();
        return kesto::UpdateMainPage(mainFolder, session_);
    }
    int UpdateCategories(const std::string& classFolder) override {
        ForgetFailure();
        return kesto::UpdateCategories(classFolder, session_);
    }
    std::string UserNumber() override { return ProcessIdentity().Current().userNumber; }
    std::string FailureReason() override {
        return session_.failure.empty() ? LastRequestFailure() : session_.failure;
    }

  private:
    // Each area starts without an earlier area's reason.
    void ForgetFailure() {
        session_.failure.clear();
        NoteRequestFailure({});
    }

    ShopSession session_;
    // What the layout step did to the banner, for the sign update to finish or undo.
    BannerChange banner_;
    // Why the layout step failed; empty when it did not.
    std::string layoutFailure_;
};

}  // namespace

std::unique_ptr<DecorationSteps> MakeMarketplaceSteps(std::shared_ptr<ProgressSink> progress) {
    return std::make_unique<MarketplaceSteps>(std::move(progress));
}

}  // namespace kesto
