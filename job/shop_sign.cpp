#include "job/shop_sign.h"

#include "job/layout_requests.h"
#include "market/hosts.h"
#include "market/identity.h"
#include "upload/kesto_uploader.h"

namespace kesto {

int UpdateShopSign(ShopSession& session, const std::string& picturePath) {
    if (!EnsureIdentity()) {
        return 0;
    }
    const std::string fsid = GetModuleFsid(session, kShopSignModule);
    if (fsid.empty()) {
        return -1;
    }
    const std::string userNumber = ProcessIdentity().Current().userNumber;
    KestoUploader uploader(KestoUploader::kErrcodeRule);
    uploader.AddFile(nullptr, picturePath);
    uploader.SetField("shop4style", "1");
    uploader.SetField("fsid", fsid.c_str());
    uploader.SetField("segid", "10");
    uploader.SetField("bannerstyle", "0");
    uploader.SetField("shopid", userNumber.c_str());
    // "Shop sign (with navigation tabs)", with full-width parentheses.
    uploader.SetField("title", "店铺招牌（含有导航页卡）");
    uploader.fileFieldName = "photo";
    const std::string url = hosts::Address(hosts::kManage, "/cgi-bin/modularmanage/picbanneredit");
    return uploader.Upload(url.c_str()) > 0 ? 1 : 0;
}

}  // namespace kesto
