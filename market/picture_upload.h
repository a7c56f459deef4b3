#pragma once
// Putting one local picture into an album folder: once per job the album page check and the
// upload request, then one multipart request with the picture and its thumbnail, whose answer
// carries the picture's album address. The address is recorded in the job's session under the
// picture's file name.

#include <string>
#include <string_view>

namespace kesto {

struct ShopSession;

// 1 uploaded and recorded; 0 the login identity is missing; -1 the album page check, the upload
// request or the picture request failed.
int UploadPicture(ShopSession& session, std::string_view albumPath, const std::string& picturePath);

// The upload request. 1 the answer's address is stored in address; 0 the answer holds none;
// -1 the request failed.
int RequestUpload(std::string& address);

// The upload request's hand-built multipart body for the identity.
std::string UploadRequestBody(std::string_view userNumber, std::string_view sessionKey);

}  // namespace kesto
