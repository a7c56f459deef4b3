#include "market/picture_preparer.h"

namespace kesto {

PicturePreparer::PicturePreparer(std::vector<std::string> paths, std::size_t ahead)
    : paths_(std::move(paths)), depth_(ahead == 0 ? 1 : ahead) {
    StartAhead(0);
}

PreparedPicture PicturePreparer::Take(std::size_t index) {
    std::optional<PreparedPicture> picture;
    if (!ahead_.empty() && ahead_.front().index == index) {
        if (ahead_.front().picture.valid()) {
            picture = ahead_.front().picture.get();
        }
        ahead_.pop_front();
    }
    if (!picture) {
        ahead_.clear();  // taken out of order: what was made ahead is not wanted
        picture = PreparePicture(paths_.at(index));
    }
    StartAhead(index + 1);
    return std::move(*picture);
}

void PicturePreparer::Discard(std::unique_ptr<TemporaryFile> thumbnail) {
    const std::lock_guard held(discardedLock_);
    discarded_.push_back(std::move(thumbnail));
}

void PicturePreparer::StartAhead(std::size_t index) {
    std::size_t next = ahead_.empty() ? index : ahead_.back().index + 1;
    while (ahead_.size() < depth_ && next < paths_.size()) {
        Ahead ahead{next, {}};
        std::vector<std::unique_ptr<TemporaryFile>> done;
        {
            const std::lock_guard held(discardedLock_);
            done.swap(discarded_);
        }
        try {
            ahead.picture = std::async(
                std::launch::async,
                [](const std::string& path, std::vector<std::unique_ptr<TemporaryFile>> removed) {
                    removed.clear();
                    return PreparePicture(path);
                },
                paths_[next], std::move(done));
        } catch (const std::system_error&) {
            // No thread to be had: the picture is prepared when it is taken.
        }
        ahead_.push_back(std::move(ahead));
        ++next;
    }
}

}  // namespace kesto
