#include "job/marketplace_steps.h"

#include "job/categories.h"
#include "job/main_page.h"
#include "job/shop_job_lock.h"
#include "job/shop_sign.h"
#include "job/template_check.h"
#include "market/failure_reason.h"
#include "market/identity.h"
#include "market/shop_session.h"
#include "support/user_files.h"

namespace kesto {

namespace {

class MarketplaceSteps final : public DecorationSteps {
  public:
    explicit MarketplaceSteps(std::shared_ptr<ProgressSink> progress) {
        session_.progress = std::move(progress);
    }

    std::vector<std::string> CheckTemplate(const JobRequest& request,
                                           const TemplateFolder& folder) override {
        std::vector<std::string> lines;
        for (const TemplateFinding& error : kesto::CheckTemplate(request, folder)) {
            lines.push_back(FindingLine(error));
        }
        return lines;
    }
    bool HoldShop() override {
        lock_ = ShopJobLock(ProgramDataFolder(), UserNumber());
        session_.failure = lock_.problem();
        return lock_.state() == ShopJobLock::State::kHeld;
    }
    // Nothing is left for the job's layout step: each area changes the layout when its
    // replacement is ready (the shop sign adds its header right before its upload, the main page
    // its custom-content module once its pictures are in the album), so a shop keeps its layout
    // when an area never starts or fails before.
    int SaveShopLayout(bool /*shopSign*/, bool /*mainPage*/) override { return 1; }
    int UpdateShopSign(const TemplateFile& picture) override {
        ForgetFailure();
        return kesto::UpdateShopSign(session_, picture);
    }
    int UpdateMainPage(const MainFolder& mainFolder) override {
        ForgetFailure();
        return kesto::UpdateMainPage(mainFolder, session_);
    }
    int UpdateCategories(const ClassFolder& classFolder) override {
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
    ShopJobLock lock_;
};

}  // namespace

std::unique_ptr<DecorationSteps> MakeMarketplaceSteps(std::shared_ptr<ProgressSink> progress) {
    return std::make_unique<MarketplaceSteps>(std::move(progress));
}

}  // namespace kesto
