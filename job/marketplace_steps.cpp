#include "job/marketplace_steps.h"

#include "job/categories.h"
#include "job/main_page.h"
#include "job/shop_job_lock.h"
#include "job/shop_sign.h"
#include "job/template_check.h"
#include "market/identity.h"
#include "market/job_context.h"
#include "market/shop_session.h"
#include "support/user_files.h"

namespace kesto {

namespace {

class MarketplaceSteps final : public DecorationSteps {
  public:
    MarketplaceSteps(std::shared_ptr<ProgressSink> progress, int parallelUploads) {
        session_.progress = std::move(progress);
        session_.parallelUploads = parallelUploads;
    }

    std::vector<TemplateFinding> CheckTemplate(const JobRequest& request,
                                               const TemplateFolder& folder) override {
        return kesto::CheckTemplate(request, folder);
    }
    AreaResult HoldShop() override {
        lock_ = ShopJobLock(ProgramDataFolder(), UserNumber());
        return {lock_.state() == ShopJobLock::State::kHeld ? 1 : 0, lock_.problem()};
    }
    // Each area changes the layout itself when its replacement is ready (the shop sign adds its
    // header right before its upload, the main page its custom-content module once its pictures
    // are in the album), so a shop keeps its layout when an area never starts or fails before.
    AreaResult UpdateShopSign(JobContext& context, const TemplateFile& picture) override {
        StartArea(context);
        return kesto::UpdateShopSign(session_, picture);
    }
    AreaResult UpdateMainPage(JobContext& context, const MainFolder& mainFolder) override {
        StartArea(context);
        return kesto::UpdateMainPage(mainFolder, session_);
    }
    AreaResult UpdateCategories(JobContext& context, const ClassFolder& classFolder) override {
        StartArea(context);
        return kesto::UpdateCategories(classFolder, session_);
    }
    std::string UserNumber() override { return ProcessIdentity().Current().userNumber; }

  private:
    // The area's requests go with the job's context; each area starts without an earlier
    // area's reason.
    void StartArea(JobContext& context) {
        session_.UseContext(context);
        context.lastFailure = {};
        context.transactionPasswordPage = false;
    }

    ShopSession session_;
    ShopJobLock lock_;
};

}  // namespace

std::unique_ptr<DecorationSteps> MakeMarketplaceSteps(std::shared_ptr<ProgressSink> progress,
                                                      int parallelUploads) {
    return std::make_unique<MarketplaceSteps>(std::move(progress), parallelUploads);
}

}  // namespace kesto
