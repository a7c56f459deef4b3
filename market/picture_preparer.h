#pragma once
// Prepares a list of pictures one ahead of their uploads: while one picture's requests wait for
// their answers, the next picture's digest, size and thumbnail are made on a thread of its own.
// The protocol still sends one request at a time; only the upload's local work moves.

#include <cstddef>
#include <future>
#include <string>
#include <system_error>
#include <vector>

#include "market/picture_upload.h"

namespace kesto {

class PicturePreparer {
  public:
    explicit PicturePreparer(std::vector<std::string> paths);
    // Waits for any preparation still running, so no thread outlives the object.
    ~PicturePreparer() = default;
    PicturePreparer(const PicturePreparer&) = delete;
    PicturePreparer& operator=(const PicturePreparer&) = delete;

    // The prepared picture of paths[index] (taken in order, each once), and the next one's
    // preparation started.
    PreparedPicture Take(std::size_t index);
    // How many pictures the list holds.
    std::size_t size() const { return paths_.size(); }

  private:
    void StartAhead(std::size_t index);

    std::vector<std::string> paths_;
    std::future<PreparedPicture> ahead_;
    std::size_t aheadIndex_ = 0;
};

}  // namespace kesto
