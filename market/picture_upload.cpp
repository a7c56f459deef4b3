#include "market/picture_upload.h"

#include <algorithm>
#include <filesystem>

#include "image/picture_size.h"
#include "image/thumbnail.h"
#include "market/album.h"
#include "market/failure_reason.h"
#include "market/hosts.h"
#include "market/http_request.h"
#include "market/identity.h"
#include "market/job_context.h"
#include "market/kesto_uploader.h"
#include "market/login_watch.h"
#include "market/password_request.h"
#include "market/picture_address.h"
#include "market/shop_session.h"
#include "platform/translation.h"
#include "support/ascii_text.h"
#include "support/file_digest.h"
#include "support/file_path.h"
#include "support/fill_in.h"
#include "support/temporary_file.h"
#include "support/trace_log.h"

namespace kesto {

namespace {

constexpr char kUploadBoundary[] = "hellworld";

// The text after the last path separator.
std::string FileNameOf(std::string_view path) {
    const std::size_t separator = path.find_last_of("\\/");
    return std::string(separator == std::string_view::npos ? path : path.substr(separator + 1));
}

// The text after the last '.' of the path, in its own letter case; "jpg" without any '.'.
std::string PictureType(std::string_view path) {
    const std::size_t dot = path.rfind('.');
    return dot == std::string_view::npos ? "jpg" : std::string(path.substr(dot + 1));
}

long long FileSize(const std::string& path) {
    std::error_code error;
    const auto size = std::filesystem::file_size(PathFromUtf8(path), error);
    return error ? -1 : static_cast<long long>(size);
}

// Records why a step of the upload failed: the step, then the last request's failure or the
// words given for an answer that arrived but did not serve.
void NoteStepFailure(JobContext& context, std::string_view step, std::string_view answered) {
    const RequestFailure note = context.lastFailure;
    context.lastFailure = {WithReason(step, note.reason.empty() ? answered : note.reason), false,
                           note.reason.empty() ? "album-refused" : note.code};
}

std::string Part(std::string_view name, std::string_view value) {
    return "Content-Disposition: form-data; name=\"" + std::string(name) + "\"\r\n\r\n" +
           std::string(value);
}

}  // namespace

std::string UploadRequestBody(std::string_view userNumber, std::string_view sessionKey) {
    const std::string delimiter = std::string("--") + kUploadBoundary;
    const std::string between = "\r\n" + delimiter + "\r\n";
    return delimiter + "\r\n" + Part("ClientVersion", "120") + between + Part("ExtendID", "/") +
           between + Part("PicCount", "1") + between + Part("TotalSize", "248") + between +
           Part("uin", userNumber) + between + Part("skey", sessionKey) + "\r\n" + delimiter + "--";
}

int RequestUpload(JobContext& context, std::string& address) {
    RequestOptions options;
    options.context = &context;
    SetMultipartContentType(options, kUploadBoundary);
    const IdentityTexts identity = ProcessIdentity().Current();
    const std::string body = UploadRequestBody(identity.userNumber, identity.sessionKey);
    std::string answer;
    const std::string url = hosts::Address(hosts::kAlbum, "/album/UpReq");
    if (HttpRequest(answer, url.c_str(), options, kMethodPost, body.c_str(), false) <= 0) {
        return -1;
    }
    answer = AsciiLower(answer);
    static constexpr std::string_view kOpen = "<uploadurl>";
    const std::size_t open = answer.find(kOpen);
    if (open == std::string::npos) {
        return 0;
    }
    const std::size_t close = answer.find("</uploadurl>", open + kOpen.size());
    if (close == std::string::npos) {
        return 0;
    }
    address = answer.substr(open + kOpen.size(), close - open - kOpen.size());
    return 1;
}

PreparedPicture PreparePicture(const std::string& picturePath) {
    PreparedPicture picture;
    picture.path = picturePath;
    picture.md5 = FileMd5Hex(picturePath);
    picture.type = PictureType(picturePath);
    picture.bytes = FileSize(picturePath);
    picture.thumbnail = std::make_unique<TemporaryFile>("qzv");
    // The thumbnail's decoding reads the picture's size as well; the picture is read once more
    // only when it gave none (no temporary file for the thumbnail, or an unreadable picture).
    picture.thumbnailMade =
        MakeThumbnail(picturePath, picture.thumbnail->path(), picture.pixels) == 1;
    if (picture.pixels == PictureSize{}) {
        picture.pixels = ReadPictureSize(picturePath);
    }
    return picture;
}

int UploadPicture(ShopSession& session, std::string_view albumPath,
                  const std::string& picturePath) {
    return UploadPreparedPicture(session, albumPath, PreparePicture(picturePath));
}

int UploadPreparedPicture(ShopSession& session, std::string_view albumPath,
                          const PreparedPicture& picture) {
    std::string address;
    const int result =
        UploadPreparedPicture(session, session.context(), albumPath, picture, address);
    if (result > 0) {
        session.uploadedPictures[FileNameOf(picture.path)] = address;
    }
    return result;
}

namespace {

// The album page check and the upload request with the context given, as the session needs them.
int ReadyAlbumUpload(ShopSession& session, JobContext& context) {
    if (!EnsureIdentity()) {
        context.lastFailure = {Translate(kLoginMissingReason), false, "login-missing"};
        return 0;
    }
    if (!session.albumReady) {
        if (CheckAlbumPage(context) <= 0) {
            NoteStepFailure(context, Translate("opening the album page"),
                            Translate("the album page did not show"));
            return -1;
        }
        session.albumReady = true;
    }
    if (session.uploadAddress.empty() && RequestUpload(context, session.uploadAddress) <= 0) {
        NoteStepFailure(context, Translate("asking the album where to upload"),
                        Translate("the answer names no address"));
        return -1;
    }
    return 1;
}

}  // namespace

int ReadyAlbumUpload(ShopSession& session) {
    return ReadyAlbumUpload(session, session.context());
}

int UploadPreparedPicture(ShopSession& session, JobContext& context, std::string_view albumPath,
                          const PreparedPicture& picture, std::string& address) {
    // The album shows the thumbnail in its lists: an empty one would be a broken picture there.
    if (!picture.thumbnailMade) {
        context.lastFailure = {
            FillIn(Translate("no thumbnail can be made of {} (the picture cannot be decoded or "
                             "drawn)"),
                   {picture.path}),
            false, "picture-unreadable"};
        return -1;
    }
    if (const int ready = ReadyAlbumUpload(session, context); ready <= 0) {
        return ready;
    }
    const IdentityTexts identity = ProcessIdentity().Current();
    KestoUploader uploader(KestoUploader::kReturnUrlRule);
    uploader.jobContext = &context;
    const std::string albumFolder(albumPath);
    uploader.SetField("ClientVersion", "120");
    uploader.SetField("ClientCode", "1");
    uploader.SetField("uin", identity.userNumber.c_str());
    uploader.SetField("skey", identity.sessionKey.c_str());
    uploader.SetField("DirPath", albumFolder.c_str());
    uploader.SetField("Compress", "1");
    uploader.SetField("MD5", picture.md5.c_str());
    uploader.SetField("PicType", picture.type.c_str());
    uploader.SetField("PicWidth", std::to_string(picture.pixels.width).c_str());
    uploader.SetField("PicHeight", std::to_string(picture.pixels.height).c_str());
    uploader.SetField("PicSize", std::to_string(picture.bytes).c_str());
    const std::string fileName = FileNameOf(picture.path);
    const std::string& thumbnailPath = picture.thumbnail->path();
    uploader.SetField("FileName", fileName.c_str());
    uploader.SetField("ThumbName", FileNameOf(thumbnailPath).c_str());
    uploader.AddFile("FileData", picture.path);
    uploader.AddFile("ThumbData", thumbnailPath);
    uploader.batchMode = true;
    const std::string url = hosts::Address(hosts::kAlbum, "/album/UploadPicActivex");
    const int result = uploader.Upload(url.c_str());
    if (result > 0 && !IsSafePictureAddress(uploader.GetReturnUrl())) {
        // The address would go into the shop's pages as it stands.
        ProcessTraceLog().Write("Picture address refused: %s", uploader.GetReturnUrl().c_str());
        context.lastFailure = {
            WithReason(Translate("sending the picture"),
                       Translate("the album answered with an address that is not a plain address "
                                 "of the marketplace's (the trace log holds it)")),
            false, "unsafe-address"};
        return -1;
    }
    if (result > 0) {
        address = uploader.GetReturnUrl();
    } else if (!MeetsTransactionPassword(context, uploader.PasswordPage())) {
        NoteStepFailure(context, Translate("sending the picture"),
                        Translate("the album did not take it"));
    }
    return result;
}

}  // namespace kesto
