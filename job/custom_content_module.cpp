#include "job/custom_content_module.h"

#include <json/value.h>

#include <utility>

#include "job/area_result.h"
#include "job/layout_requests.h"
#include "job/shop_layout.h"
#include "market/failure_reason.h"
#include "market/shop_session.h"
#include "platform/translation.h"
#include "support/fill_in.h"

namespace kesto {

int AddCustomContentModule(ShopSession& session, std::string& failure, NewCustomContent& module) {
    module = {};
    const std::string step =
        Translate("adding the main page's custom-content module to the layout");
    bool sent = false;
    bool unreadable = false;
    const int result = EditShopLayout(
        session, failure, step,
        [&module](Json::Value& layout) {
            Json::Value before = layout;
            if (AddCustomContent(layout) <= 0) {
                return false;
            }
            module.knownFsids = ModuleFsids(before);
            module.layoutBefore = std::move(before);
            module.order = NewCustomContentOrder(layout);
            return true;
        },
        sent, &unreadable);
    module.sent = sent;
    module.answerLost = sent && result < 0;
    module.layoutUnreadable = unreadable;
    if (result > 0 && !sent) {
        failure =
            WithReason(step, StepCause(session.context(), "no-frame",
                                       Translate("the shop layout has no frame that can hold it")));
        return 0;
    }
    return result;
}

int FindCustomContentModule(ShopSession& session, std::string& failure, NewCustomContent& module) {
    std::string shopData;
    const int read = ReadContentInfo(session, failure, shopData);
    if (read <= 0) {
        return read;
    }
    module.fsid = FindNewCustomContentFsid(shopData, module.order, module.knownFsids);
    if (module.fsid.empty()) {
        failure =
            WithReason(Translate("finding the new custom-content module"),
                       StepCause(session.context(), "module-missing",
                                 Translate("the shop's content information does not list it")));
        return 0;
    }
    return 1;
}

int FindPresentCustomContentModule(ShopSession& session, std::string& failure,
                                   NewCustomContent& module) {
    std::string shopData;
    const int read = ReadContentInfo(session, failure, shopData);
    if (read <= 0) {
        return read;
    }
    module.fsid = FindModuleFsid(kCustomContentModule, shopData);
    if (module.fsid.empty()) {
        failure = WithReason(
            Translate("finding the custom-content module"),
            StepCause(session.context(), "module-missing",
                      Translate("the shop layout cannot be read and the shop's content information "
                                "names no custom-content module to hold the page")));
        return 0;
    }
    return 1;
}

int RemoveOldCustomContent(ShopSession& session, std::string& failure,
                           const NewCustomContent& module) {
    const std::string step = Translate("removing the old custom-content module");
    bool present = true;
    bool sent = false;
    const int result = EditShopLayout(
        session, failure, step,
        [&](Json::Value& layout) {
            // The old modules go only while the new one is there to take their place.
            present = ModuleFsids(layout).contains(module.fsid);
            return present && MarkCustomContent(layout, [&module](const ModuleKey& old) {
                                  return old.fsid != module.fsid;
                              }) > 0;
        },
        sent);
    if (result > 0 && !present) {
        failure = WithReason(
            step, StepCause(session.context(), "module-missing",
                            Translate("the new module is missing from the shop layout")));
        return 0;
    }
    return result;
}

int TakeBackCustomContent(ShopSession& session, std::string& failure,
                          const NewCustomContent& module) {
    if (!module.sent) {
        return 1;
    }
    const std::string reason = failure;
    bool found = false;
    const int result = RestoreShopLayout(
        session, failure, Translate("taking the new custom-content module off again"),
        module.layoutBefore, [](const ModuleKey& added) { return added.mid == kCustomContentMid; },
        &found);
    failure = result > 0 ? reason : FillIn(Translate("{}; {}"), {reason, failure});
    if (result > 0 && !found && module.answerLost) {
        // Nothing is there to take off yet; the save may still be carried out.
        failure = FillIn(
            Translate("{}; should the marketplace still carry out the layout save that got no "
                      "answer, an empty custom-content module shows on the front page: the next "
                      "main page update removes it"),
            {failure});
    }
    return result;
}

}  // namespace kesto
