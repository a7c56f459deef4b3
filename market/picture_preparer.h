#pragma once
// Prepares a list of pictures ahead of their uploads: while one picture's requests wait for
// their answers, the next pictures' digests, sizes and thumbnails are made on threads of their
// own (as many ahead as uploads go at once, so that the local work keeps up with them).

#include <cstddef>
#include <deque>
#include <future>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "market/picture_upload.h"
#include "support/temporary_file.h"

namespace kesto {

class PicturePreparer {
  public:
    // ahead: how many pictures are prepared ahead of the one taken (at least 1).
    explicit PicturePreparer(std::vector<std::string> paths, std::size_t ahead = 1);
    // Waits for any preparation still running, so no thread outlives the object.
    ~PicturePreparer() = default;
    PicturePreparer(const PicturePreparer&) = delete;
    PicturePreparer& operator=(const PicturePreparer&) = delete;

    // The prepared picture of paths[index] (taken in order, each once), and the preparation of
    // the ones after it started.
    PreparedPicture Take(std::size_t index);
    // How many pictures the list holds.
    std::size_t size() const { return paths_.size(); }

    // Takes the thumbnail of a picture whose upload is over, from any thread. It is removed on
    // the thread that prepares the next picture rather than on the uploading thread, where
    // removing a file held up the next request; what is left is removed with the object.
    void Discard(std::unique_ptr<TemporaryFile> thumbnail);

  private:
    void StartAhead(std::size_t index);

    struct Ahead {
        std::size_t index;
        std::future<PreparedPicture> picture;  // not valid: no thread, made when taken
    };

    std::vector<std::string> paths_;
    std::size_t depth_;
    std::deque<Ahead> ahead_;  // consecutive indices
    std::mutex discardedLock_;
    std::vector<std::unique_ptr<TemporaryFile>> discarded_;  // for the next preparation to remove
};

}  // namespace kesto
