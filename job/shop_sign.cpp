#include "job/shop_sign.h"

#include <json/value.h>

#include <algorithm>
#include <cstdint>

#include "job/area_result.h"
#include "job/layout_requests.h"
#include "job/progress.h"
#include "job/session_progress.h"
#include "job/shop_layout.h"
#include "market/failure_reason.h"
#include "market/hosts.h"
#include "market/identity.h"
#include "market/job_context.h"
#include "market/kesto_uploader.h"
#include "market/login_watch.h"
#include "market/password_request.h"
#include "market/shop_session.h"
#include "platform/translation.h"
#include "support/file_path.h"
#include "support/fill_in.h"
#include "templates/template_bounds.h"
#include "templates/template_folder.h"

namespace kesto {

namespace {

// Posts the picture to the banner edit endpoint. 1 accepted, 0 not, -1 no header module found.
int UploadShopSign(ShopSession& session, std::string& failure, const TemplateFile& picture) {
    const std::string& picturePath = picture.path;
    if (!EnsureIdentity()) {
        failure = StepCause(session.context(), "login-missing", Translate(kLoginMissingReason));
        return 0;
    }
    const std::string fsid = GetModuleFsid(session, failure, kShopSignModule);
    if (fsid.empty()) {
        return -1;
    }
    const std::string userNumber = ProcessIdentity().Current().userNumber;
    // The marketplace promises no more than the error code rule: an answer without "errcode"
    // is a success. A gateway's error page is refused by its status, the transaction-password
    // page by its words.
    KestoUploader uploader(KestoUploader::kErrcodeRule);
    uploader.jobContext = &session.context();
    uploader.AddFile(nullptr, picturePath);
    uploader.SetField("shop4style", "1");
    uploader.SetField("fsid", fsid.c_str());
    uploader.SetField("segid", "10");
    uploader.SetField("bannerstyle", "0");
    uploader.SetField("shopid", userNumber.c_str());
    // "Shop sign (with navigation tabs)", with full-width parentheses.
    uploader.SetField("title", "店铺招牌（含有导航页卡）");
    uploader.fileFieldName = "photo";
    uploader.chunkAccepted = [&session](std::uint64_t sent, std::uint64_t size) {
        PostProgress(
            session,
            {kShopSignBytes, static_cast<int>(sent / 1024), static_cast<int>(size / 1024), {}});
    };
    const std::string url = hosts::Address(hosts::kManage, "/cgi-bin/modularmanage/picbanneredit");
    // A picture that is no longer the one the template check passed is not sent.
    std::string note;
    if (ChangedSinceRead(picture)) {
        note = DescribeChangedFile(picturePath);
    } else if (uploader.Upload(url.c_str()) > 0) {
        return 1;
    } else {
        note = uploader.failure().reason;
    }
    const std::string step = FillIn(Translate("uploading the shop sign {}"),
                                    {PathToUtf8(PathFromUtf8(picturePath).filename())});
    if (MeetsTransactionPassword(session.context(), uploader.PasswordPage())) {
        failure = WithReason(step, TransactionPasswordReason());
        return 0;
    }
    failure =
        WithReason(step, note.empty() ? StepCause(session.context(), "refused",
                                                  Translate("the marketplace did not accept it"))
                                      : note);
    return 0;
}

// Removes the banner modules the new header takes the place of, now that the sign is in.
int FinishBannerChange(ShopSession& session, std::string& failure, const BannerChange& change) {
    if (!change.headerSent || change.replacedFsids.empty()) {
        return 1;
    }
    bool sent = false;
    return EditShopLayout(
        session, failure, Translate("removing the banner modules the shop header replaces"),
        [&change](Json::Value& layout) {
            return MarkBannerModules(layout, [&change](const ModuleKey& module) {
                       return std::find(change.replacedFsids.begin(), change.replacedFsids.end(),
                                        module.fsid) != change.replacedFsids.end();
                   }) > 0;
        },
        sent);
}

// Takes the header added before the upload off again; failure keeps the reason the sign failed
// with, followed by this step's own when it fails too.
void UndoBannerChange(ShopSession& session, std::string& failure, const BannerChange& change) {
    if (!change.headerSent) {
        return;
    }
    const std::string reason = failure;
    const int result = RestoreShopLayout(
        session, failure, Translate("taking the new shop header module off again"),
        change.layoutBefore, [](const ModuleKey& added) { return added.mid == kShopHeaderMid; });
    // TRANSLATORS: a reason, then a second one that followed it.
    failure = result > 0 ? reason : FillIn(Translate("{}; {}"), {reason, failure});
}

int ReplaceShopSign(ShopSession& session, std::string& failure, const TemplateFile& picture) {
    const std::string& picturePath = picture.path;
    // Only the template's own picture is sent, as the template check demands.
    const std::string headFolder = ParentFolder(picturePath);
    if (const std::string leaving =
            TemplateBounds(ParentFolder(headFolder)).FirstLeavingPath({headFolder, picturePath});
        !leaving.empty()) {
        failure = StepCause(
            session.context(), "outside-template",
            FillIn(Translate("{} links outside the template folder; nothing was sent"), {leaving}));
        return -1;
    }
    BannerChange change;
    const int layout = AddShopHeaderModule(session, failure, change);
    if (layout <= 0 && failure.ends_with(TransactionPasswordReason())) {
        // The dialog has been told; the content information would ask again.
        return 0;
    }
    // A failed layout change does not end the area: the banner may hold a header already.
    const std::string layoutFailure = layout > 0 ? std::string() : failure;
    failure.clear();
    int result = UploadShopSign(session, failure, picture);
    // The layout's failure is added unless it met the same failure the sign did (a network
    // that is down fails both alike): a reason never says the same twice.
    const std::string& met = session.context().lastFailure.reason;
    if (result < 0 && !layoutFailure.empty() && !(!met.empty() && layoutFailure.ends_with(met))) {
        failure = FillIn(Translate("{} ({})"), {failure, layoutFailure});
    }
    if (result > 0) {
        result = FinishBannerChange(session, failure, change) > 0 ? 1 : 0;
    }
    if (result <= 0) {
        UndoBannerChange(session, failure, change);
    }
    return result;
}

}  // namespace

AreaResult UpdateShopSign(ShopSession& session, const TemplateFile& picture) {
    std::string failure;
    const int code = ReplaceShopSign(session, failure, picture);
    return AreaEnd(code, std::move(failure), session.context());
}

}  // namespace kesto
