#pragma once
// The category update: the shop's categories are replaced by the template's category tree, each
// category shown with a picture from the album folder of the categories.
//
// The shop keeps categories, and the pictures they show, throughout. The requests, in order:
//   1. a new album folder is made for this update's pictures (market/area_folder.h), nothing
//      removed;
//   2. every new picture is uploaded into it, up to three attempts each;
//   3. the shop's category list is read, twice; an answer that is no list to go by, or two
//      readings that differ, end the update here;
//   4. the creating update makes the new tree beside the old categories;
//   5. the deleting update removes the listed old categories (when there are any); when it
//      fails, the list is read again to learn what it did;
//   6. the old album folders are removed, once the list read again shows none of the old
//      categories (an old list without categories proves nothing: the folders then stay).
// When step 4 fails (a marketplace that refuses names it lists already, for one), the old order
// follows instead: the deleting update, then the creating update, up to three attempts, and
// when the new tree cannot be made, the old categories are put back from the list of step 3,
// where it gives their names, showing their pictures, which are still in the album.
// After any creating update that fails, the list is read again: one carried out whose answer was
// lost is not sent again. A template without category folders changes nothing.

#include <chrono>
#include <string>

#include "job/area_result.h"

namespace kesto {

struct ClassFolder;
struct ShopSession;

// The pause after each failed attempt of a category picture's upload and of the creating update
// (three attempts each).
inline constexpr std::chrono::milliseconds kPictureRetryWait{2000};

// classFolder: the template's "class" folder as read before the check; a picture that changed
// since is not sent (its upload fails).
// 1 when the new tree is in place and the old categories are gone; -1 otherwise, with the
// reason saying which step failed, what it met and what the shop shows now.
//
// When a deleting update sent before the creating one fails, the list read again decides: none
// of the old categories left, the update went on; all of them left and the marketplace answered
// (an error, a refusal, the transaction-password page, a dropped connection), nothing was deleted
// and the update stops there. Otherwise, in particular when the delete got no answer in time, the
// marketplace may still carry it out: the new tree is created anyway, since categories made now
// are out of the pending delete's reach, and the update fails saying that the old categories may
// still show beside the new ones.
AreaResult UpdateCategories(const ClassFolder& classFolder, ShopSession& session,
                            std::chrono::milliseconds retryWait = kPictureRetryWait);

}  // namespace kesto
