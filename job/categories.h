#pragma once
// The category update: the shop's categories are replaced by the template's category tree, each
// category shown with a picture from the album folder of the categories.
//
// The shop never loses its categories to a failed picture or a wrong folder: every picture is
// uploaded first, the old categories are deleted only then, and the new tree follows in one
// update. A template without category folders changes nothing.

#include <chrono>
#include <string>

namespace kesto {

struct ShopSession;

// The pause after each failed attempt of a category picture's upload (three attempts).
inline constexpr std::chrono::milliseconds kPictureRetryWait{2000};

// 1 (the create update's result) when the new tree was accepted; -1 when the class folder holds
// no category, a picture failed three times, deleting the old categories failed or the create
// update failed.
int UpdateCategories(const std::string& classFolder, ShopSession& session,
                     std::chrono::milliseconds retryWait = kPictureRetryWait);

// 1 the shop's categories were deleted; 0 the shop had none; -1 the list could not be read or
// the delete update failed.
int DeleteAllCategories();

}  // namespace kesto
