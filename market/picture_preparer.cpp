#include "market/picture_preparer.h"

namespace kesto {

PicturePreparer::PicturePreparer(std::vector<std::string> paths) : paths_(std::move(paths)) {
    StartAhead(0);
}

PreparedPicture PicturePreparer::Take(std::size_t index) {
    PreparedPicture picture =
        ahead_.valid() && aheadIndex_ == index ? ahead_.get() : PreparePicture(paths_.at(index));
    StartAhead(index + 1);
    return picture;
}

void PicturePreparer::StartAhead(std::size_t index) {
    if (index >= paths_.size()) {
        return;
    }
    aheadIndex_ = index;
    try {
        ahead_ = std::async(std::launch::async, PreparePicture, paths_[index]);
    } catch (const std::system_error&) {
        // No thread to be had: the picture is prepared when it is taken.
        ahead_ = {};
    }
}

}  // namespace kesto
