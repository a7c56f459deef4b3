#include "job/main_page.h"

#include <filesystem>
#include <memory>
#include <vector>

#include "job/area_result.h"
#include "job/custom_content_module.h"
#include "job/layout_requests.h"
#include "job/main_page_text.h"
#include "job/progress.h"
#include "job/session_progress.h"
#include "job/side_by_side_uploads.h"
#include "market/album.h"
#include "market/area_folder.h"
#include "market/failure_reason.h"
#include "market/hosts.h"
#include "market/http_request.h"
#include "market/identity.h"
#include "market/job_context.h"
#include "market/password_request.h"
#include "market/picture_preparer.h"
#include "market/shop_session.h"
#include "platform/translation.h"
#include "support/bounded_file.h"
#include "support/fill_in.h"
#include "support/trace_log.h"
#include "support/url_encode.h"
#include "templates/template_bounds.h"
#include "templates/template_folder.h"
#include "upload/answer_rules.h"

namespace kesto {

namespace {

constexpr const char* kSaveStep = TranslatedLater("saving the main page text");

// The reason an album step failed: the transaction-password page when the context met it, the
// last request's failure, or the fallback words.
std::string AlbumFailure(const ShopSession& session, const char* fallback) {
    const JobContext& context = session.context();
    if (context.transactionPasswordPage) {
        return TransactionPasswordReason();
    }
    const std::string& note = context.lastFailure.reason;
    return note.empty() ? Translate(fallback) : note;
}

// Uploads the picture unless it is no longer the one the template check passed: -1 then, with
// changed saying so in the words the uploader uses for a file that changed under it.
int UploadCheckedPicture(ShopSession& session, JobContext& context, const std::string& albumPath,
                         const TemplateFile& file, const PreparedPicture& prepared,
                         std::string& address, std::string& changed) {
    if (ChangedSinceRead(file)) {
        changed = DescribeChangedFile(file.path);
        return -1;
    }
    return UploadPreparedPicture(session, context, albumPath, prepared, address);
}

// Uploads the pictures into the album folder (several at once when the session allows), each
// picture's lines in its own order; false when one failed (failure then names the first that
// did, and no later one was started). The addresses go into the session in listing order,
// whatever order the answers came in.
bool UploadMainPictures(const std::vector<TemplateFile>& files, const std::string& albumPath,
                        ShopSession& session, std::string& failure) {
    std::vector<std::string> paths;
    for (const TemplateFile& file : files) {
        paths.push_back(file.path);
    }
    PicturePreparer preparer(std::move(paths), static_cast<std::size_t>(session.parallelUploads));
    const int count = static_cast<int>(files.size());
    SideBySideUploads uploads(session);
    uploads.Post({kPictureProgress, 0, count, {}});
    std::vector<std::string> addresses(files.size());
    std::vector<std::string> changed(files.size());
    const std::size_t failed = uploads.Run(files.size(), [&](std::size_t i) -> PictureWork {
        uploads.Post({kPictureUploadStarting, 0, 0, files[i].name});
        auto prepared = std::make_shared<PreparedPicture>(preparer.Take(i));
        return [&, i, prepared](JobContext& context) {
            const int result = UploadCheckedPicture(session, context, albumPath, files[i],
                                                    *prepared, addresses[i], changed[i]);
            preparer.Discard(std::move(prepared->thumbnail));
            uploads.Post({kPictureUploaded, 0, result, files[i].name});
            uploads.PostPictureDone(count, files[i].name);
            return result > 0;
        };
    });
    if (failed < files.size()) {
        failure = WithReason(
            FillIn(Translate("uploading the main page picture {}"), {files[failed].name}),
            !changed[failed].empty()
                ? StepCause(session.context(), "file-changed", changed[failed])
                : AlbumFailure(session, TranslatedLater("the album did not take the picture")));
        return false;
    }
    for (std::size_t i = 0; i < files.size(); ++i) {
        session.uploadedPictures[files[i].name] = addresses[i];
    }
    return true;
}

// Saves the text into the module, between its progress messages.
int SaveIntoModule(const std::string& text, const NewCustomContent& module, ShopSession& session,
                   std::string& failure) {
    PostProgress(session, {kCustomContentSave, 0, 0, {}});
    const int result = SaveCustomContent(text, module.fsid, session, failure);
    PostProgress(session, {kCustomContentSave, 1, result, {}});
    return result;
}

// A shop whose layout answer cannot be read gets no layout change: the text goes into the
// custom-content module its content information names, which one save either fills with the
// new text or leaves as it was.
int SaveIntoPresentModule(const std::string& text, ShopSession& session, std::string& failure) {
    ProcessTraceLog().Write("Layout unreadable: the main page goes into the present module");
    NewCustomContent module;
    failure.clear();
    const int found = FindPresentCustomContentModule(session, failure, module);
    return found > 0 ? SaveIntoModule(text, module, session, failure) : found;
}

// Puts the finished text on the front page: a new custom-content module beside the old one, the
// text saved into it, then the old module removed. A failure after the layout changed takes the
// new module off again, so the old page shows.
int PublishMainPageText(const std::string& text, ShopSession& session, std::string& failure) {
    NewCustomContent module;
    int result = AddCustomContentModule(session, failure, module);
    if (result <= 0 && module.layoutUnreadable) {
        return SaveIntoPresentModule(text, session, failure);
    }
    if (result > 0) {
        result = FindCustomContentModule(session, failure, module) > 0 ? 1 : -1;
    }
    if (result > 0) {
        result = SaveIntoModule(text, module, session, failure);
    }
    if (result > 0) {
        result = RemoveOldCustomContent(session, failure, module);
    }
    if (result <= 0) {
        TakeBackCustomContent(session, failure, module);
    }
    return result;
}

// The main page update (see UpdateMainPage), failure saying why it failed.
int ReplaceMainPage(const MainFolder& mainFolder, ShopSession& session, std::string& failure) {
    const std::string& folder = mainFolder.folder.path;
    if (!mainFolder.folder.listed && mainFolder.folder.files.empty()) {
        failure = StepCause(
            session.context(), "template-missing",
            FillIn(Translate("the main folder {} is missing or cannot be read"), {folder}));
        return 0;
    }
    if (!mainFolder.pageText) {
        failure = StepCause(
            session.context(), "no-page-text",
            FillIn(Translate("the main folder {} holds no page text (.txt file)"), {folder}));
        return 0;
    }
    // The page text is the one the template check read, before anything is sent, so that a
    // text that cannot be read changes nothing.
    const PageText& pageText = *mainFolder.pageText;
    const std::string& textPath = pageText.file.path;
    // Only the template's own files are read, as the template check demands.
    std::vector<std::string> ownFiles = {folder, textPath};
    for (const TemplateFile& picture : mainFolder.pictures) {
        ownFiles.push_back(picture.path);
    }
    if (const std::string leaving = TemplateBounds(ParentFolder(folder)).FirstLeavingPath(ownFiles);
        !leaving.empty()) {
        failure = StepCause(
            session.context(), "outside-template",
            FillIn(Translate("{} links outside the template folder; nothing was sent"), {leaving}));
        return -1;
    }
    const FileReadResult read = pageText.read;
    if (read != FileReadResult::kRead) {
        failure = WithReason(FillIn(Translate("reading the page text {}"), {textPath}),
                             StepCause(session.context(), "file-unreadable",
                                       Translate(DescribeFileReadResult(read))));
        return -1;
    }
    const DecodedPageText decoded = DecodeContentFile(pageText.bytes);
    if (!decoded.flaw.empty()) {
        failure = WithReason(FillIn(Translate("reading the page text {}"), {textPath}),
                             StepCause(session.context(), "page-text-flaw", decoded.flaw));
        return -1;
    }
    // The pictures go into a folder of this run's own; the old folders, holding the pictures the
    // live page shows, go once the new text is saved.
    AreaFolderRun albumFolder;
    if (OpenAreaFolderRun(session.context(), kMainPageAlbumFolder, albumFolder) <= 0) {
        failure =
            WithReason(FillIn(Translate("opening the album folder {}"), {kMainPageAlbumFolder}),
                       AlbumFailure(session, TranslatedLater("the album did not make the folder")));
        return -1;
    }
    session.uploadedPictures.clear();
    if (!UploadMainPictures(mainFolder.pictures, albumFolder.path, session, failure)) {
        return -1;
    }
    const std::string userNumber = ProcessIdentity().Current().userNumber;
    const std::string text = FillMainPageText(decoded.text, session.uploadedPictures, userNumber);
    const int result = PublishMainPageText(text, session, failure);
    if (result > 0) {
        // Old folders left behind are removed by the next main page update.
        RemoveOldAreaFolders(session.context(), albumFolder);
    }
    return result;
}

}  // namespace

AreaResult UpdateMainPage(const MainFolder& mainFolder, ShopSession& session) {
    std::string failure;
    const int code = ReplaceMainPage(mainFolder, session, failure);
    return AreaEnd(code, std::move(failure), session.context());
}

int SaveCustomContent(const std::string& text, const std::string& fsid, ShopSession& session,
                      std::string& failure) {
    const std::string body =
        "mid=13&prop=416&flag=0&fsid=" + fsid + "&title=" + UrlEncode(kCustomContentModule) +
        "&pageid=0&page=1&segid=0&bannerstyle=0&content=7:0&tssinfo=" + UrlEncode(text);
    const std::string url = hosts::Address(
        hosts::kManage,
        "/cgi-bin/modularmanage/moduleedit?g_tk=" + GetRequestToken() + "&g_ty=j132");
    RequestOptions options;
    options.context = &session.context();
    std::string answer;
    if (HttpRequest(answer, url.c_str(), options, kMethodPost, body.c_str(), false) <= 0) {
        failure = WithReason(Translate(kSaveStep), options.failure.reason);
        return -1;
    }
    if (answer.empty()) {
        failure = WithReason(
            Translate(kSaveStep),
            StepCause(session.context(), "empty-answer",
                      FillIn(Translate("{} sent an empty answer: run again"), {hosts::kManage})));
        return 0;
    }
    if (MeetsTransactionPassword(session.context(), answer)) {
        failure = WithReason(Translate(kSaveStep), TransactionPasswordReason());
        return 0;
    }
    if (ErrcodeRule(answer) <= 0) {
        failure = WithReason(Translate(kSaveStep),
                             StepCause(session.context(), "refused",
                                       Translate("the marketplace refused it with an error code")));
        return 0;
    }
    return 1;
}

}  // namespace kesto
