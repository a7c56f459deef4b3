#include "job/main_page.h"

#include <filesystem>

#include "job/job_limits.h"
#include "job/layout_requests.h"
#include "job/main_page_text.h"
#include "job/progress.h"
#include "market/album.h"
#include "market/hosts.h"
#include "market/http_request.h"
#include "market/identity.h"
#include "market/picture_preparer.h"
#include "market/shop_session.h"
#include "support/bounded_file.h"
#include "support/file_path.h"
#include "support/url_encode.h"
#include "upload/file_listing.h"

namespace kesto {

namespace {

void Post(ShopSession& session, ProgressMessage message) {
    if (session.progress) {
        session.progress->Post(std::move(message));
    }
}

}  // namespace

int UpdateMainPage(const std::string& mainFolder, ShopSession& session) {
    RemoveAreaFolder(kMainPageAlbumFolder);
    std::string albumPath = "/";
    CreateAreaFolder(kMainPageAlbumFolder, albumPath);

    const std::string folder = WithTrailingSeparator(mainFolder);
    std::vector<std::string> names;
    if (ListEntries(folder, names) < 0 && names.empty()) {
        return 0;
    }
    const MainFolderContent content = ClassifyMainFolder(names);
    if (content.contentFile.empty()) {
        return 0;
    }
    session.uploadedPictures.clear();
    std::vector<std::string> paths;
    for (const std::string& picture : content.pictures) {
        paths.push_back(folder + picture);
    }
    PicturePreparer preparer(std::move(paths));
    for (std::size_t i = 0; i < content.pictures.size(); ++i) {
        const std::string& picture = content.pictures[i];
        Post(session, {kPictureUploadStarting, 0, 0, picture});
        const int result = UploadPreparedPicture(session, albumPath, preparer.Take(i));
        Post(session, {kPictureUploaded, 0, result, picture});
        if (result < 1) {
            return -1;
        }
    }
    std::string bytes;
    if (ReadRegularFile(folder + content.contentFile, kPageTextLimitBytes, bytes) !=
        FileReadResult::kRead) {
        return -1;
    }
    const std::string userNumber = ProcessIdentity().Current().userNumber;
    const std::string text =
        FillMainPageText(DecodeContentFile(bytes), session.uploadedPictures, userNumber);
    Post(session, {kCustomContentSave, 0, 0, {}});
    const int result = SaveCustomContent(text, session);
    Post(session, {kCustomContentSave, 1, result, {}});
    return result;
}

int SaveCustomContent(const std::string& text, ShopSession& session) {
    const std::string fsid = GetModuleFsid(session, kCustomContentModule);
    if (fsid.empty()) {
        return -1;
    }
    const std::string body =
        "mid=13&prop=416&flag=0&fsid=" + fsid + "&title=" + UrlEncode(kCustomContentModule) +
        "&pageid=0&page=1&segid=0&bannerstyle=0&content=7:0&tssinfo=" + UrlEncode(text);
    const std::string url = hosts::Address(
        hosts::kManage,
        "/cgi-bin/modularmanage/moduleedit?g_tk=" + GetRequestToken() + "&g_ty=j132");
    RequestOptions options;
    std::string answer;
    HttpRequest(answer, url.c_str(), options, kMethodPost, body.c_str(), false);
    return answer.empty() ? 0 : 1;
}

}  // namespace kesto
