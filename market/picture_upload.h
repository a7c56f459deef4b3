#pragma once
// Putting one local picture into an album folder: once per job the album page check and the
// upload request, then one multipart request with the picture and its thumbnail, whose answer
// carries the picture's album address. The address is recorded in the job's session under the
// picture's file name. The requests go with the session's context, where a failure's reason is
// recorded (JobContext::lastFailure).

#include <memory>
#include <string>
#include <string_view>

#include "image/thumbnail.h"
#include "support/temporary_file.h"

namespace kesto {

struct JobContext;
struct ShopSession;

// What the picture request says about a local picture: its digest, type, size in pixels and
// bytes, and its thumbnail in a temporary file that goes away with the record. Making it is the
// upload's own work (no request), so it can be done ahead, while another request is waiting.
struct PreparedPicture {
    std::string path;
    std::string md5;
    std::string type;
    PictureSize pixels;
    long long bytes = -1;
    std::unique_ptr<TemporaryFile> thumbnail;
    bool thumbnailMade = false;  // false: the temporary file holds no thumbnail
};

PreparedPicture PreparePicture(const std::string& picturePath);

// UploadPicture for a picture prepared beforehand. A picture whose thumbnail could not be made
// is refused (-1, the reason recorded) before any request.
int UploadPreparedPicture(ShopSession& session, std::string_view albumPath,
                          const PreparedPicture& picture);

// The same with the requests made with context and the album's address handed back in address
// instead of recorded in the session. Several may run at once, each with a context of its own
// (market/job_context.h), once ReadyAlbumUpload has succeeded: they then only read the session.
int UploadPreparedPicture(ShopSession& session, JobContext& context, std::string_view albumPath,
                          const PreparedPicture& picture, std::string& address);

// The album page check and the upload request, unless the session records them done already:
// what a job's first picture upload makes before its picture request. 1 done; 0 the login
// identity is missing; -1 a request failed (the reason recorded in the session's context).
int ReadyAlbumUpload(ShopSession& session);

// 1 uploaded and recorded; 0 the login identity is missing; -1 the album page check, the upload
// request or the picture request failed.
int UploadPicture(ShopSession& session, std::string_view albumPath, const std::string& picturePath);

// The upload request. 1 the answer's address is stored in address; 0 the answer holds none;
// -1 the request failed.
int RequestUpload(JobContext& context, std::string& address);

// The upload request's hand-built multipart body for the identity.
std::string UploadRequestBody(std::string_view userNumber, std::string_view sessionKey);

}  // namespace kesto
