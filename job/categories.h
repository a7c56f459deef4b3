#pragma once
// The category update: the shop's categories are replaced by the template's category tree, each
// category shown with a picture from the album folder of the categories.
//
// The shop keeps its categories, and the pictures they show, until the new tree is in place. The
// requests, in order:
//   1. the album folder of the categories is found (or made), its pictures listed, nothing
//      removed;
//   2. every new picture is uploaded beside the old ones, up to three attempts each;
//   3. the shop's category list is read; an answer that is no list ends the update here;
//   4. the deleting update removes the listed categories (when there are any); when it fails,
//      the list is read again to learn what it did;
//   5. the creating update makes the new tree, up to three attempts;
//   6. then either the old pictures are deleted (the new tree is in place), or, when the new tree
//      could not be made, the old categories are put back from the list of step 3, up to three
//      attempts, showing their pictures, which are still in the album.
// A template without category folders changes nothing.

#include <chrono>
#include <string>

namespace kesto {

struct ShopSession;

// The pause after each failed attempt of a category picture's upload and of the creating update
// (three attempts each).
inline constexpr std::chrono::milliseconds kPictureRetryWait{2000};

// 1 when the new tree is in place and the old categories are gone; -1 otherwise, with the
// session's failure saying which step failed, what it met and what the shop shows now.
//
// When the deleting update fails, the list read again decides: none of the old categories left,
// the update went on; all of them left and the marketplace answered (an error, a refusal, the
// transaction-password page, a dropped connection), nothing was deleted and the update stops
// there. Otherwise, in particular when the delete got no answer in time, the marketplace may
// still carry it out: the new tree is created anyway, since categories made now are out of the
// pending delete's reach, and the update fails saying that the old categories may still show
// beside the new ones.
int UpdateCategories(const std::string& classFolder, ShopSession& session,
                     std::chrono::milliseconds retryWait = kPictureRetryWait);

}  // namespace kesto
