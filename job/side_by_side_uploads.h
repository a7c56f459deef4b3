#pragma once
// An area's picture uploads, up to the session's parallelUploads at once, each on a thread and a
// connection of its own with a context of its own (market/job_context.h). The next picture starts
// only when one has finished, so at most that many pictures are in flight (and in memory); once
// one has failed no later one starts, the running ones finish, and the job's context holds the
// first failed picture's reason. With one at a time everything runs on the calling thread with
// the job's context, the requests exactly as a plain loop sends them.

#include <cstddef>
#include <functional>
#include <mutex>
#include <string>

#include "job/progress.h"

namespace kesto {

struct JobContext;
struct ShopSession;

// What an upload does once started: true when its picture is in the album. It runs with the
// context it is handed, on a thread of its own when several run at once.
using PictureWork = std::function<bool(JobContext&)>;

class SideBySideUploads {
  public:
    explicit SideBySideUploads(ShopSession& session);

    // Starts the uploads 0 to count - 1 in order: start(i) runs on the calling thread (take the
    // picture, post its first line) and gives the work to run. Returns the index of the first
    // picture that failed, or count when all succeeded. With several at once the album page
    // check and the upload request are made before the first picture (a failure there fails
    // picture 0 without starting it).
    std::size_t Run(std::size_t count, const std::function<PictureWork(std::size_t)>& start);

    // Posts a progress message in turn with the messages of the uploads (any thread).
    void Post(ProgressMessage message);
    // Posts that one more of the area's count pictures is done (text: the picture), counting
    // them from 0 in the order they finish.
    void PostPictureDone(int count, std::string picture);

  private:
    std::size_t RunSideBySide(std::size_t count,
                              const std::function<PictureWork(std::size_t)>& start);

    ShopSession& session_;
    std::mutex postLock_;
    int picturesDone_ = 0;  // guarded by postLock_
};

}  // namespace kesto
